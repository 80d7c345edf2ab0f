// The registry adapters: the settings store and the start-up value, including
// a real refusal made with a deny entry on the key.
#include <gtest/gtest.h>
#include "win32/adapters.h"
#include <sddl.h>
#include "win32/text_win32.h"

namespace torvane::testing {
namespace {

std::wstring ScratchKey(const wchar_t* name) {
  return L"Software\\TorvaneTests\\" + std::to_wstring(GetCurrentProcessId()) + L"\\" + name;
}

void DeleteKey(const std::wstring& path) { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

// What comes back of a value is the contract's (tests/contract); here, where it goes.
TEST(SettingsStore, OneStringValuePerKeyUnderTheApplicationsKey) {
  const std::string application = "TorvaneTest" + std::to_string(GetCurrentProcessId());
  win32::RegistrySettingsStore store(application, "Setting");
  EXPECT_TRUE(store.Write("c1", "1"));
  EXPECT_EQ(store.KeyPath(), L"Software\\" + win32::Widen(application) + L"\\Setting");
  wchar_t data[64] = {};
  DWORD size = sizeof data;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, store.KeyPath().c_str(), L"c1", RRF_RT_REG_SZ, nullptr, data, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(data, L"1");
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + win32::Widen(application)).c_str());
}

TEST(StartupEntry, WritesReadsAndDeletesTheExactValue) {
  const std::wstring key = ScratchKey(L"Run");
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(created);
  win32::RunKeyStartupEntry entry(HKEY_CURRENT_USER, key, false);
  EXPECT_EQ(entry.Read("Torvane"), std::nullopt);
  EXPECT_TRUE(entry.Write("Torvane", "\"C:\\Program Files\\Torvane\\Torvane.exe\" RUN"));
  EXPECT_EQ(entry.Read("Torvane"), "\"C:\\Program Files\\Torvane\\Torvane.exe\" RUN");
  DWORD type = 0;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Torvane", RRF_RT_ANY, &type, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(entry.Delete("Torvane"));
  EXPECT_EQ(entry.Read("Torvane"), std::nullopt);
  EXPECT_TRUE(entry.Delete("Torvane")) << "deleting an absent value leaves the state asked for";

  const std::wstring missing = ScratchKey(L"NewProfile\\Run");
  EXPECT_FALSE(win32::RunKeyStartupEntry(HKEY_CURRENT_USER, missing, false).Write("Torvane", "x RUN"));
  EXPECT_TRUE(win32::RunKeyStartupEntry(HKEY_CURRENT_USER, missing, true).Write("Torvane", "x RUN"))
      << "the user's Run key is made where a profile has none yet";
  DeleteKey(ScratchKey(L""));
}

TEST(StartupEntry, ADeniedKeyRefusesWritesAndDeletesButStillReads) {
  const std::wstring key = ScratchKey(L"Denied");
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  const std::wstring data = L"x RUN";
  RegSetValueExW(raw, L"Torvane", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  PSECURITY_DESCRIPTOR deny = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(D;;0x10006;;;WD)(A;;KA;;;SY)(A;;KA;;;BA)(A;;KR;;;WD)", SDDL_REVISION_1, &deny, nullptr));
  ASSERT_EQ(RegSetKeySecurity(raw, DACL_SECURITY_INFORMATION, deny), ERROR_SUCCESS);
  LocalFree(deny);
  RegCloseKey(raw);

  win32::RunKeyStartupEntry entry(HKEY_CURRENT_USER, key, false);
  EXPECT_EQ(entry.Read("Torvane"), "x RUN");
  EXPECT_FALSE(entry.Write("Torvane", "\"C:\\Scan\\Torvane.exe\" RUN"));
  EXPECT_FALSE(entry.Delete("Torvane"));
  EXPECT_EQ(entry.Read("Torvane"), "x RUN");
  EXPECT_TRUE(entry.Delete("Absent")) << "a value that is not there needs no rights to stay away";
}

}  // namespace
}  // namespace torvane::testing
