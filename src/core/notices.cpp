#include "core/notices.h"

#include "core/version.h"

namespace torvane {

void ShowNotice(WindowFrame& window, MessageBoxes& boxes, std::string_view text) {
  window.SetTopmost(false);
  boxes.ShowOk(text, kProgramTitle);
  window.SetTopmost(true);
}

}  // namespace torvane
