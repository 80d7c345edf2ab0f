#include "harness.h"

namespace fs = std::filesystem;

namespace torvane::e2e {
namespace {

constexpr int kQuietModules = 4;

// qrencode's ASCII picture, without margin: "##" a dark module, two spaces a
// light one. Byte mode (-8), as libqrencode's QRcode_encodeData makes a code.
std::vector<std::vector<bool>> MakeCode(std::string_view text, const ShownCode::Look& look) {
  static int made = 0;
  const fs::path input = TempFolder() / (L"torvane-qr-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(++made) + L".txt");
  if (!WriteFileBytes(input, text)) return {};
  const ShellResult encoded = RunLinuxShell("timeout 10 qrencode -8 -t ASCII -m 0 -l " + std::string(1, look.level) +
                                            " -v " + std::to_string(look.version) + " -r " +
                                            ShellQuote(UnixPath(input)) + " -o -");
  std::error_code ignored;
  fs::remove(input, ignored);
  if (!encoded.finished || encoded.exitCode != 0) return {};
  std::vector<std::vector<bool>> rows;
  std::string_view lines = encoded.output;
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    const std::string_view line = lines.substr(0, end);
    std::vector<bool> row;
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) row.push_back(line[i] == '#');
    rows.push_back(std::move(row));
    if (end == std::string_view::npos) break;
    lines.remove_prefix(end + 1);
  }
  for (const auto& row : rows)
    if (row.size() != rows.size()) return {};
  return rows;
}

}  // namespace

ShownCode::ShownCode(std::string_view text, Look look) : look_(look), dark_(MakeCode(text, look)) {
  if (dark_.empty()) return;
  RunnerWindow::Look windowLook;
  windowLook.className = L"TorvaneShownCode";
  windowLook.title = L"QR code";
  windowLook.where = WindowRect();
  windowLook.style = WS_POPUP;
  windowLook.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  windowLook.show = SW_SHOWNOACTIVATE;
  windowLook.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RunnerWindow::Handlers handlers;
  handlers.handle = [this](HWND window, UINT message, WPARAM, LPARAM) { return Paint(window, message); };
  window_ = std::make_unique<RunnerWindow>(std::move(windowLook), std::move(handlers));
}

PixelRect ShownCode::CodeRect() const {
  const int side = Modules() * look_.modulePixels;
  return {look_.codeAt.x, look_.codeAt.y, side, side};
}

PixelRect ShownCode::WindowRect() const {
  const int quiet = kQuietModules * look_.modulePixels;
  const PixelRect code = CodeRect();
  return {code.left - quiet, code.top - quiet, code.width + 2 * quiet, code.height + 2 * quiet};
}

std::optional<LRESULT> ShownCode::Paint(HWND window, UINT message) {
  if (message != WM_PAINT) return std::nullopt;
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int quiet = kQuietModules * look_.modulePixels;
  for (int y = 0; y < Modules(); ++y) {
    for (int x = 0; x < Modules(); ++x) {
      if (!dark_[y][x]) continue;
      const RECT module{quiet + x * look_.modulePixels, quiet + y * look_.modulePixels,
                        quiet + (x + 1) * look_.modulePixels, quiet + (y + 1) * look_.modulePixels};
      FillRect(dc, &module, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }
  EndPaint(window, &ps);
  return 0;
}

bool ShownCode::ShownIn(const PixelImage& image, POINT origin) const {
  if (dark_.empty()) return false;
  const PixelRect window = WindowRect();
  for (int y = window.top; y < window.bottom(); ++y) {
    for (int x = window.left; x < window.right(); ++x) {
      const int ix = x - origin.x, iy = y - origin.y;
      if (ix < 0 || iy < 0 || ix >= image.width || iy >= image.height) return false;
      const int mx = (x - look_.codeAt.x) / look_.modulePixels, my = (y - look_.codeAt.y) / look_.modulePixels;
      const bool dark = x >= look_.codeAt.x && y >= look_.codeAt.y && mx < Modules() && my < Modules() && dark_[my][mx];
      if (image.at(ix, iy) != (dark ? 0u : kWhitePixel)) return false;
    }
  }
  return true;
}

}  // namespace torvane::e2e
