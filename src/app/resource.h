#pragma once

#define IDI_TORVANE 1
#define IDB_BACKGROUND 101
#define IDB_TESTQR 102
#define IDC_HAND_POINTER 201
#define IDW_BEEP 301
