// Recording fakes: the notification-area icon, message boxes and sounds.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeTray final : public TrayIcon {
 public:
  explicit FakeTray(Journal& journal) : journal_(journal) {}
  bool Add() override {
    present = true;
    journal_.push_back("icon added");
    return true;
  }
  void Remove() override {
    present = false;
    journal_.push_back("icon removed");
  }
  bool ShowBalloon(std::string_view title, std::string_view text) override {
    journal_.push_back("balloon");
    if (!present) return false;
    balloons.emplace_back(std::string(title), std::string(text));
    return true;
  }
  bool present = false;
  std::vector<std::pair<std::string, std::string>> balloons;  // title and text of each shown

 private:
  Journal& journal_;
};

class FakeBoxes final : public MessageBoxes {
 public:
  explicit FakeBoxes(Journal& journal) : journal_(journal) {}
  void ShowOk(std::string_view text, std::string_view caption) override {
    shown.emplace_back(std::string(text), std::string(caption));
    journal_.push_back("message box");
  }
  std::vector<std::pair<std::string, std::string>> shown;

 private:
  Journal& journal_;
};

class FakeSounds final : public Sounds {
 public:
  explicit FakeSounds(Journal& journal) : journal_(journal) {}
  void Beep() override { journal_.push_back("beep"); }

 private:
  Journal& journal_;
};

}  // namespace torvane::testing
