#include "core/file_system.h"

namespace velmora {

const char* ClientFileName(ClientFile file) {
  switch (file) {
    case ClientFile::kWorkUnit:
      return "work_unit.sah";
    case ClientFile::kState:
      return "state.sah";
    case ClientFile::kResult:
      return "result.sah";
    case ClientFile::kTempResult:
      return "wtemp.sah";
    case ClientFile::kUserInfo:
      return "user_info.sah";
  }
  return "";
}

}  // namespace velmora
