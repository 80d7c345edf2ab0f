// The Win32 adapters of the program's ports, gathered for the place that
// wires the program (main.cpp) and for their tests. Thin: Win32 calls in,
// plain values out, no decisions. One header per subject:
#pragma once

#include "win32/ansi_code_page_win32.h"
#include "win32/cameras_win32.h"
#include "win32/clock_win32.h"
#include "win32/directory_listing_win32.h"
#include "win32/environment_win32.h"
#include "win32/message_boxes_win32.h"
#include "win32/processes_win32.h"
#include "win32/program_folder_win32.h"
#include "win32/registry_win32.h"
#include "win32/resource_sounds_win32.h"
#include "win32/shared_files_win32.h"
#include "win32/tray_icon_win32.h"
#include "win32/windows_win32.h"
