#include "tools/client_sim/simulated_client.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "core/decimal_rule.h"

namespace velmora::sim {
namespace {

// How long (in simulated CPU seconds) the result takes to write and then waits to be sent.
constexpr double kWritingSeconds = 6;
constexpr double kWaitingSeconds = 12;

void WriteWhole(const std::string& path, const std::string& text) {
  win::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Remove(const std::string& path) {
  DeleteFileA(path.c_str());
}

std::string Fixed(double value, int decimals) {
  return FormatFixed(value, decimals);
}

}  // namespace

SimulatedClient::SimulatedClient(std::string folder, int seed, double unitCpuSeconds)
    : folder_(std::move(folder)), seed_(seed), unitCpu_(unitCpuSeconds) {
  CreateDirectoryA(folder_.c_str(), nullptr);
  results_ = 40 + seed_ * 17 % 300;
  totalCpu_ = results_ * unitCpu_ * (0.9 + 0.05 * (seed_ % 4));
}

std::string SimulatedClient::PathOf(const char* name) const {
  std::string path = folder_;
  if (path.empty() || path.back() != '\\')
    path += '\\';
  return path + name;
}

void SimulatedClient::Begin(double progress) {
  progress_ = progress;
  cpu_ = progress * unitCpu_;
  stage_ = Stage::kProcessing;
  WriteUserInfo();
  WriteWorkUnit();
  WriteStateFile(0);
}

std::string SimulatedClient::StateText() const {
  // Keys of our own invention around the two the monitor reads; LF endings as the client writes.
  std::string text;
  text += "ncfft=" + std::to_string(8192 << (unit_ % 4)) + "\n";
  text += "cr=" + Fixed(0.0731 * (1 + unit_ % 5), 6) + "\n";
  text += "fl=" + std::to_string(65536 >> (unit_ % 3)) + "\n";
  text += "cpu=" + Fixed(cpu_, 6) + "\n";
  text += "prog=" + Fixed(progress_, 8) + "\n";
  text += "potfreq=" + std::to_string(seed_ * 31 + unit_) + "\n";
  for (int i = 0; i < 8; ++i)
    text += "bg_pot " + std::to_string(i) + "=" + Fixed(0.5 + 0.07 * ((i + unit_) % 9), 6) + "\n";
  text += "outfile_size=" + std::to_string(512 + unit_ * 13) + "\n";
  return text;
}

void SimulatedClient::WriteStateFile(int holdMilliseconds) {
  // The client truncates and rewrites state.sah in place, keeping it open for writing while it
  // does: a reader may find it empty or locked for a moment.
  win::FileHandle file(CreateFileA(PathOf("state.sah").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return;  // a reader held it without sharing: the next rewrite catches up
  SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
  SetEndOfFile(file.Get());
  if (holdMilliseconds > 0)
    Sleep(static_cast<DWORD>(holdMilliseconds / 2));
  const std::string text = StateText();
  DWORD written = 0;
  WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  if (holdMilliseconds > 0)
    Sleep(static_cast<DWORD>(holdMilliseconds - holdMilliseconds / 2));
}

void SimulatedClient::WriteUserInfo() {
  char text[512];
  std::snprintf(
      text, sizeof text,
      "id=%d\nkey=%08x\nemail_addr=demo%d@example.invalid\nname=Demo user %d\nurl=\ncountry=Nowhere\n"
      "postal_code=0000\nshow_name=no\nshow_email=no\nvenue=home\nnwus=%d\nnresults=%d\n"
      "total_cpu=%s\nparams_index=0\n",
      1000 + seed_, 0x5eed0000u + static_cast<unsigned>(seed_), seed_, seed_, results_ + 1, results_,
      Fixed(totalCpu_, 6).c_str());
  WriteWhole(PathOf("user_info.sah"), text);
}

void SimulatedClient::WriteWorkUnit() {
  std::string text = "type=seti_unit\nname=demo." + std::to_string(seed_) + "." + std::to_string(unit_) +
                     "\nstart_ra=" + Fixed(3.5 + seed_ * 0.25, 6) + "\nstart_dec=" + Fixed(-12.5 + unit_, 6) +
                     "\nsubband_sample_rate=9765.625\n<data>\n";
  for (int row = 0; row < 32; ++row)
    text += std::string(64, static_cast<char>('A' + (row + unit_) % 26)) + "\n";
  text += "</data>\n";
  WriteWhole(PathOf("work_unit.sah"), text);
}

void SimulatedClient::Advance(double cpuSeconds, int holdMilliseconds) {
  switch (stage_) {
    case Stage::kProcessing:
      if (hung_)
        return;
      cpu_ += cpuSeconds;
      progress_ = cpu_ / unitCpu_;
      if (progress_ >= 1) {
        progress_ = 1;
        cpu_ = unitCpu_;
        WriteStateFile(holdMilliseconds);
        StartWritingResult();
      } else {
        WriteStateFile(holdMilliseconds);
      }
      return;
    case Stage::kWritingResult:
      stageSeconds_ += cpuSeconds;
      if (stageSeconds_ >= kWritingSeconds)
        ResultWritten();
      return;
    case Stage::kWaiting:
      stageSeconds_ += cpuSeconds;
      if (stageSeconds_ >= kWaitingSeconds)
        ResultSent();
      return;
  }
}

void SimulatedClient::StartWritingResult() {
  stage_ = Stage::kWritingResult;
  stageSeconds_ = 0;
  Remove(PathOf("work_unit.sah"));
  WriteWhole(PathOf("wtemp.sah"), "result_part=" + std::to_string(unit_) + "\n");
}

void SimulatedClient::ResultWritten() {
  stage_ = Stage::kWaiting;
  stageSeconds_ = 0;
  WriteWhole(PathOf("result.sah"), "result=" + std::to_string(unit_) + "\nspikes=3\ngaussians=1\n");
  Remove(PathOf("wtemp.sah"));
}

void SimulatedClient::ResultSent() {
  Remove(PathOf("result.sah"));
  ++results_;
  totalCpu_ += cpu_;
  ++unit_;
  Begin(0);
}

void SimulatedClient::BeginHold() {
  EndHold();
  heldState_ = win::FileHandle(CreateFileA(PathOf("state.sah").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void SimulatedClient::EndHold() {
  heldState_.Reset();
}

}  // namespace velmora::sim
