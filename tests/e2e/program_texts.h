// What the program shows, written as a user reads it: the history's status
// lines, the status line, and the parts of its windows the tests look at.
#pragma once

#include <string>
#include <vector>
#include "core/layout.h"

namespace torvane::e2e {

using Lines = std::vector<std::string>;  // the history list, newest first

const std::string kLoading = "[正在加载图像识别模块]";
const std::string kLoaded = "[图像识别模块加载成功]";
const std::string kRunning = "图像识别模块已运行";
const std::string kNotRunning = "图像识别模块未运行";
const std::string kCameraMissing = "[未找到 zbarcam.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";

// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;
// The bare Xvfb root (-br) that shows where no window is.
constexpr Rgb kRootBlack{0, 0, 0};

}  // namespace torvane::e2e
