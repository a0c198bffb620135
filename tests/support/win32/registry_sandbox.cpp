#include "tests/support/win32/registry_sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "windows/handles.h"

namespace velmora::testing {

RegistrySandbox::RegistrySandbox()
    : RegistrySandbox("SOFTWARE\\Tarnek\\VelmoraTest" + std::to_string(::GetCurrentProcessId()) + "_" +
                      std::to_string(std::mt19937(std::random_device()())())) {}

bool RegistrySandbox::Exists(const std::string& below) const {
  HKEY raw = nullptr;
  const std::string path = below.empty() ? path_ : path_ + "\\" + below;
  const bool opened = ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw) == ERROR_SUCCESS;
  const win::KeyHandle key(opened ? raw : nullptr);
  return opened;
}

void RegistrySandbox::Put(const std::string& section,
                          const std::string& key,
                          DWORD type,
                          const void* data,
                          DWORD size) const {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (path_ + "\\" + section).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  const win::KeyHandle sectionKey(raw);
  ASSERT_EQ(::RegSetValueExA(raw, key.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

bool RegistrySandbox::Query(const std::string& section,
                            const std::string& key,
                            DWORD& type,
                            std::string& data) const {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, (path_ + "\\" + section).c_str(), 0, KEY_READ, &raw) !=
      ERROR_SUCCESS)
    return false;
  const win::KeyHandle sectionKey(raw);
  DWORD size = 0;
  if (::RegQueryValueExA(raw, key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  data.assign(size, '\0');
  const LSTATUS read =
      ::RegQueryValueExA(raw, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  data.resize(std::min<std::size_t>(size, data.size()));
  return read == ERROR_SUCCESS;
}

std::optional<std::string> RegistrySandbox::Text(const std::string& section, const std::string& key) const {
  DWORD type = 0;
  std::string data;
  if (!Query(section, key, type, data) || type != REG_SZ)
    return std::nullopt;
  if (!data.empty() && data.back() == '\0')
    data.pop_back();
  return data;
}

}  // namespace velmora::testing
