// The program's own words, shown to the user exactly as written here.
#pragma once

#include <string_view>

namespace torvane::texts {

inline constexpr std::string_view kLoadingModule = "[正在加载图像识别模块]";
inline constexpr std::string_view kModuleLoaded = "[图像识别模块加载成功]";
inline constexpr std::string_view kModuleRestarted = "[图像识别模块初始化]";
// Listed when the decoder ended after it had loaded without being asked to: it is started again.
inline constexpr std::string_view kModuleEndedUnexpectedly = "[图像识别模块意外退出，正在重新加载]";
// Listed once when the installed zbarcam refuses --xml: its plain output is read instead.
inline constexpr std::string_view kXmlRefused = "[图像识别模块不支持 XML 输出，改用文本输出]";
inline constexpr std::string_view kModuleNotRunning = "图像识别模块未运行";
inline constexpr std::string_view kModuleRunning = "图像识别模块已运行";
inline constexpr std::string_view kDefaultCamera = "默认";
// Listed when the chosen camera is not present: the default camera is opened instead.
inline constexpr std::string_view kCameraGonePrefix = "[未找到摄像头: ";
inline constexpr std::string_view kCameraGoneSuffix = "，使用默认摄像头]";
// Listed when the camera decoder ends, from the reason it gives.
inline constexpr std::string_view kCameraNotFound = "[未找到摄像头]";
inline constexpr std::string_view kCameraBusy = "[摄像头被其他程序占用]";
inline constexpr std::string_view kCameraFailedPrefix = "[无法打开摄像头：";
inline constexpr std::string_view kCameraFailedSuffix = "]";
// Windows drops the keys sent to a window of a program run as administrator:
// listed once, and shown beside the notification-area icon while the window is hidden.
inline constexpr std::string_view kElevatedTargetCopied = "[目标窗口以管理员身份运行，条码已复制到剪贴板]";
inline constexpr std::string_view kElevatedTargetBalloon = "目标窗口以管理员身份运行，条码已复制到剪贴板";
// Listed for a dropped file too large to be an image ZBar reads.
inline constexpr std::string_view kImageTooLarge = "[图片文件超过 200 MB，未识别]";
// Listed when the screen-scan hotkey cannot be registered: another program holds it.
inline constexpr std::string_view kHotkeyTakenPrefix = "[快捷键 ";
inline constexpr std::string_view kHotkeyTakenSuffix = " 已被其他程序占用]";
inline constexpr std::string_view kNoCodeOnScreen = "[屏幕区域中未找到条码]";
inline constexpr std::string_view kNoCodeOnScreenBalloon = "屏幕区域中未找到条码";
inline constexpr std::string_view kScreenUnreadable = "[无法读取屏幕]";
inline constexpr std::string_view kStopScanning = "停止扫码";
inline constexpr std::string_view kStartScanning = "开始扫码";
// The notification-area icon's menu; its second item reads as the pause command does.
inline constexpr std::string_view kMenuShowWindow = "显示窗口";
inline constexpr std::string_view kMenuScanScreen = "扫描屏幕";
inline constexpr std::string_view kMenuSettings = "设置";
inline constexpr std::string_view kMenuExit = "退出";
inline constexpr std::string_view kStartupEntryFailed =
    "无法设置开机自动启动，您可能没有足够的权限，或被安全软件拦截！";
inline constexpr std::string_view kHelpHint =
    "如果识别模块已运行请调节摄像头焦距到最佳，并增加环境的光线。如果识别模块未运行，请点击初始化或者重新启动计算机后再试";

inline constexpr std::string_view kWelcomeCode = "QR-Code:Welcome to the Torvane";
inline constexpr std::string_view kTestMarker = "[Mirelda]:TEST";
inline constexpr std::string_view kStartHiddenArgument = "RUN";
// The installer's and the uninstaller's start: the running copy of this folder quits.
inline constexpr std::string_view kQuitArgument = "QUIT";

// Listed when a decoder is not in the program folder.
inline constexpr std::string_view kCameraDecoderMissing =
    "[未找到 zbarcam.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";
inline constexpr std::string_view kImageDecoderMissing =
    "[未找到 zbarimg.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";
// Why the module does not run, on the status line in place of kModuleNotRunning.
inline constexpr std::string_view kCameraDecoderNotFound = "未找到 zbarcam.exe";
// Listed when the user let Torvane copy ZBar's files and one could not be copied.
inline constexpr std::string_view kZbarCopyFailed = "[未能把 ZBar 的文件全部复制到 Torvane 文件夹]";
// Asked once when an installed ZBar is found: the prefix, its bin folder, the suffix.
inline constexpr std::string_view kZbarFoundPrefix = "找到已安装的 ZBar：";
inline constexpr std::string_view kZbarFoundSuffix = "，是否复制到 Torvane 文件夹？";
// The help panel's word on the decoders.
inline constexpr std::string_view kZbarHelp =
    "Torvane 用 ZBar 的 zbarcam.exe（摄像头）和 zbarimg.exe（图片文件）识别条码。"
    "请安装 ZBar for Windows（例如 zbar-0.10-setup.exe），再把 ZBar 安装文件夹里 bin 文件夹中的所有文件"
    "（zbarcam.exe、zbarimg.exe 和它们带的 DLL 文件）复制到 Torvane.exe 所在的文件夹。"
    "已安装 ZBar 时，Torvane 会询问是否替您复制。";

}  // namespace torvane::texts
