// The system's process table as one Toolhelp snapshot, for the Wine tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace torvane::test_support {

struct ProcessEntry {
  DWORD id;
  DWORD parent;
  std::wstring name;  // the image's file name
};
// Every process in the table; empty when no snapshot could be taken.
std::vector<ProcessEntry> ProcessSnapshot();

}  // namespace torvane::test_support
