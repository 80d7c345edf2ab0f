#include "fakes/target.h"
#include "typing_target_subject.h"

namespace torvane::contract {
namespace {

class FakeInputMethodsSubject final : public InputMethodsSubject {
 public:
  InputMethods& inputMethods() override { return inputMethods_; }
  WindowId OpenInputMethod() override {
    inputMethods_.open[1] = true;
    return 1;
  }
  WindowId GoneWindow() override { return 2; }

 private:
  testing::Journal journal_;
  testing::FakeInputMethods inputMethods_{journal_};
};

class FakeIntegrityLevelsSubject final : public IntegrityLevelsSubject {
 public:
  FakeIntegrityLevelsSubject() { levels_.target.reset(); }
  IntegrityLevels& levels() override { return levels_; }
  void ForegroundOwnWindow() override { levels_.target = levels_.own; }

 private:
  testing::FakeIntegrityLevels levels_;
};

}  // namespace

std::unique_ptr<InputMethodsSubject> MakeInputMethodsSubject() { return std::make_unique<FakeInputMethodsSubject>(); }
std::unique_ptr<IntegrityLevelsSubject> MakeIntegrityLevelsSubject() {
  return std::make_unique<FakeIntegrityLevelsSubject>();
}

}  // namespace torvane::contract
