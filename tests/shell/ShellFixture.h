// A whole game on the headless machine with a program folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora {

struct TTempDir {
  TTempDir() {
    char name[] = "/tmp/velmora-test-XXXXXX";
    Path = ::mkdtemp(name);
  }
  ~TTempDir() { std::filesystem::remove_all(Path); }
  std::string Path;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() { Machine.System.Folder = Dir.Path; }

  std::string Ini() const { return Dir.Path + "/Torvi.INI"; }
  void Start() {
    Form = std::make_unique<TMainForm>(Machine.Platform);
    Form->FormCreate();
    Form->FormPaint();
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i, Form->Idle())
      Machine.System.Now += 16;
  }
  void Press(int key, bool down) {
    Machine.Input.Keys[key] = down;
    down ? Form->FormKeyDown(key) : Form->FormKeyUp(key);
  }
  // A fresh press of the fire button; leaves the title for the menu, the result screen ...
  void Button() {
    Press('Z', true);
    Tick();
    Press('Z', false);
    Tick();
  }
  // Opens the menus on the way to the item, as a player does, and chooses it.
  void Choose(const std::string& name) {
    std::vector<TMenuItem*> path;
    for (TMenuItem* p = Form->MainMenu.Find(name); p != &Form->MainMenu; p = p->Parent)
      path.insert(path.begin(), p);
    for (TMenuItem* step : path) {
      ASSERT_TRUE(step->Enabled) << step->Name;
      step->Click();
    }
  }
  void Answer(std::initializer_list<std::string> answers) {
    Machine.Dialogs.Answers.insert(Machine.Dialogs.Answers.end(), answers);
  }
  // The texts of the dialogs shown since the last call.
  std::vector<std::string> Dialogs() {
    std::vector<std::string> texts;
    for (; Seen_ < Machine.Dialogs.Log.size(); ++Seen_)
      texts.push_back(Machine.Dialogs.Log[Seen_].Text);
    return texts;
  }

  TTempDir Dir;
  THeadlessMachine Machine;
  std::unique_ptr<TMainForm> Form;

 private:
  size_t Seen_ = 0;
};

}  // namespace velmora
