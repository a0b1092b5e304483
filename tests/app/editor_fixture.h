// Shared pieces of the window tests: a synthetic data set registered as the
// "MS_DATA" resource, name lists written into a temporary working folder,
// recording dialogs, and a fixture that builds the real window on them.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "data/data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"

namespace varsk::testing {

// A full catalogue (191 MS, 38 ships) whose every field has its own value,
// with small tiles, clips and palettes so that every entry draws a picture.
std::unique_ptr<DataSet> MakeSyntheticDataSet();
// The resource bytes of a data set (header, then the nine tables).
std::vector<uint8_t> EncodeDataSet(const DataSet& dataSet);

// Dialog answers given in advance and every message box recorded.
class RecordingDialogs final : public EditorDialogs {
 public:
  std::deque<std::optional<QString>> fileAnswers;  // nullopt = the user cancels
  std::vector<QString> errors;
  std::vector<const QFileDialog*> dialogsShown;
  // Answers to questions, as button indexes; with none left the question is
  // answered as by Escape.
  std::deque<int> answers;
  std::vector<Question> questions;

  std::optional<QString> ChooseFile(QFileDialog& dialog) override;
  void ShowError(QWidget* parent, const QString& text) override;
  int Ask(QWidget* parent, const Question& question) override;
  // The caption of the button chosen last, or empty when none was asked.
  QString LastAnswer() const { return lastAnswer_; }

 private:
  QString lastAnswer_;
};

// The lines of one name list: 229 entry names then 175 weapon names.
std::vector<std::string> NameListLines(char language, int count = 404);
void WriteNameList(const QString& folder, char language, const std::vector<std::string>& lines,
                   const std::string& lineEnd = "\r\n");

// Runs the test in a fresh working folder holding the three name lists and
// with the synthetic data set registered; builds the window on demand.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the window (FormCreate runs inside).
  void CreateWindow();
  // A user's choice in the entry list (raises the change event).
  void ChooseEntry(int position);
  QString Path(const QString& name) const { return folder_.filePath(name); }

  std::unique_ptr<DataSet> reference_;  // what the resource holds
  std::vector<uint8_t> resourceBytes_;
  std::unique_ptr<DataSet> dataSet_;
  std::unique_ptr<AnimSetTable> animSets_;
  std::unique_ptr<RomBuffers> romBuffers_;
  RecordingDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
  QTemporaryDir folder_;
  QString previousDir_;
};

}  // namespace varsk::testing
