#!/usr/bin/python3
"""A read-only passthrough file system whose every call answers only after a delay.

Seen from a Wine program at Z:\\..., the mount point behaves like a network share that answers
slowly (a fraction of a second) or like a machine that is switched off (tens of seconds).

Usage: slow_share.py SOURCE MOUNTPOINT DELAY_SECONDS

Runs in the foreground until SIGTERM or SIGINT (or until the mount is unmounted): then every
call still waiting is answered at once, the file system unmounts itself and the process ends.
Needs Debian's python3-fusepy (module "fusepy") and /dev/fuse.
"""

import errno
import os
import signal
import subprocess
import sys
import threading

import fusepy

# Set when the file system is to end: waiting calls stop waiting.
stopping = threading.Event()


class SlowShare(fusepy.Operations):
    use_ns = True

    def __init__(self, source, delay):
        self.source = os.path.realpath(source)
        self.delay = delay

    def _path(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def __call__(self, op, *args):
        # init and destroy belong to mounting and unmounting, not to a caller.
        if op not in ("init", "destroy"):
            stopping.wait(self.delay)
        try:
            return super().__call__(op, *args)
        except OSError as error:
            raise fusepy.FuseOSError(error.errno or errno.EIO)

    # What a reader needs.
    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        keys = ("st_mode", "st_nlink", "st_size", "st_uid", "st_gid", "st_atime", "st_mtime", "st_ctime")
        attrs = {key: getattr(st, key) for key in keys}
        for key in ("st_atime", "st_mtime", "st_ctime"):
            attrs[key] = getattr(st, key + "_ns") / 1e9
        return attrs

    def access(self, path, amode):
        if amode & os.W_OK:
            raise fusepy.FuseOSError(errno.EROFS)
        if not os.access(self._path(path), amode):
            raise fusepy.FuseOSError(errno.EACCES)

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def readlink(self, path):
        return os.readlink(self._path(path))

    def statfs(self, path):
        sv = os.statvfs(self._path(path))
        keys = ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files", "f_flag",
                "f_frsize", "f_namemax")
        return {key: getattr(sv, key) for key in keys}

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR | os.O_APPEND | os.O_CREAT | os.O_TRUNC):
            raise fusepy.FuseOSError(errno.EROFS)
        return os.open(self._path(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)
        return 0

    def opendir(self, path):
        return 0

    def releasedir(self, path, fh):
        return 0

    # Nothing is ever written through the share.
    def _refuse(self, *args):
        raise fusepy.FuseOSError(errno.EROFS)

    chmod = chown = create = link = mkdir = mknod = rename = rmdir = symlink = _refuse
    truncate = unlink = utimens = write = setxattr = removexattr = _refuse


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: slow_share.py SOURCE MOUNTPOINT DELAY_SECONDS")
    source, mountpoint, delay = sys.argv[1], sys.argv[2], float(sys.argv[3])

    # The signals go to one thread of ours, not to libfuse's handler (which would cancel the
    # threads asleep in a call): blocked here, and so in every thread libfuse starts.
    ending = {signal.SIGTERM, signal.SIGINT, signal.SIGHUP}
    signal.pthread_sigmask(signal.SIG_BLOCK, ending)

    ended = threading.Event()

    def end_on_signal():
        signal.sigwait(ending)
        stopping.set()
        # The loop ends when the kernel drops the connection, once nothing uses the mount any
        # more. A caller stuck inside keeps it: then the process ends anyway, which closes the
        # connection and fails what still waits.
        subprocess.run(["fusermount3", "-u", "-z", mountpoint], check=False, stderr=subprocess.DEVNULL)
        if not ended.wait(2):
            os._exit(0)

    threading.Thread(target=end_on_signal, daemon=True).start()
    # No attribute, name or negative-lookup caching by the kernel: every call of a program
    # reaches this file system and waits its delay.
    try:
        fusepy.FUSE(SlowShare(source, delay), mountpoint, foreground=True, ro=True, fsname="slow_share",
                    attr_timeout=0, entry_timeout=0, negative_timeout=0)
    finally:
        ended.set()


if __name__ == "__main__":
    main()
