// One TFrmAssoc per test beside a stand-in player process, driven through real control messages.
// Extensions are unique per test; their keys, the tool's ProgIDs and Default Apps entries for them
// are removed afterwards, as are the options file and filetype.ini beside the test program.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "mainfrm.h"
#include "message_box_stub.h"
#include "scratch.h"
#include "stubprocess.h"

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application.Initialize(); }
  void SetUp() override;
  void TearDown() override;

  // Starts the player from player_, answering SupportExt with exts and ExeName with its own path.
  void StartPlayer(const std::string& exts, const std::string& moreOptions = "");
  void Open() { form_.reset(new TFrmAssoc()); }
  void Close() { form_.reset(); }

  // Unique extension i (lower case, with its dot), its list caption and the tool's ProgID for it.
  const std::string& Ext(int i) const { return exts_[i]; }
  std::string Caption(int i) const;
  std::string ToolProgId(int i) const { return "vantrel." + Caption(i); }
  // Points extension i at another program's ProgID with a type name, icon and open command.
  void SeedOther(int i, const std::string& typeName);
  std::string OtherProgId(int i) const { return "VtOther" + Ext(i); }
  std::string Classes(const std::string& key, const char* name = "") const;
  // The path of a key of the user's own classes, beneath HKEY_CURRENT_USER.
  static std::string UserClass(const std::string& key) {
    return std::string(kClassesKey) + "\\" + key;
  }

  void Click(TControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }
  void Select(int row, bool selected = true);
  void Type(const char* text);
  std::vector<std::string> Column(int column) const;
  std::string Beside(const char* fileName) const { return folder_ + fileName; }
  const std::string& OptionsPath() const { return options_; }

  vttest::ScratchDir scratch_;
  std::string player_;  // the player's executable: a copy of the stand-in once it was started
  vttest::StubProcess stub_;
  TMessageBoxStub boxes_;
  std::unique_ptr<TFrmAssoc> form_;

 private:
  std::vector<std::string> exts_;
  std::string folder_;   // the test program's folder
  std::string options_;  // its options file
};
