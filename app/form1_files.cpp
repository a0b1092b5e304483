// The window and the ROM file: Load ROM, Save ROM with its questions, and
// closing with work that is not saved.
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <array>
#include <optional>

#include "app/catalogue_window.h"
#include "app/form1.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "data/rom_file.h"

namespace varsk {
namespace {

std::string FileNameBytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString Text(const std::string& text) { return QString::fromStdString(text); }
QString Caption(const char* caption) { return QString::fromLatin1(caption); }

std::vector<std::string> Utf8(const std::vector<QString>& names) {
  std::vector<std::string> out;
  for (const QString& name : names) out.push_back(name.toStdString());
  return out;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  const std::array<std::string, 1> inputs{b};
  return FindSameFile(a, inputs).has_value();
}

}  // namespace

void TForm1::Button2Click(QObject* /*Sender*/) { LoadRom(); }

void TForm1::LoadRom() {
  const std::optional<QString> fileName = dialogs_.ChooseFile(OpenDialog());
  if (!fileName) return;
  LoadRomFrom(*fileName);
}

void TForm1::LoadRomFrom(const QString& fileName) { LoadRomPath(FileNameBytes(fileName)); }

void TForm1::LoadRomFromPath(const std::string& path) {
  // The dialog offers this file next, as if it had been chosen there.
  OfferFile(QFile::decodeName(QByteArray::fromStdString(path)));
  LoadRomPath(path);
}

void TForm1::OfferFile(const QString& fileName) {
  offeredFile_ = fileName;
  if (OpenDialog1 != nullptr) OpenDialog1->selectFile(fileName);
}

void TForm1::LoadRomPath(const std::string& path) {
  const bool wereFilled = recordsFilled_;
  try {
    history_.Record(tables_.dataSet,
                    [&] { LoadRomFile(path, tables_.romBuffers, tables_.dataSet); });
  } catch (...) {
    // The records are as they were; they did not come from this file.
    loadFailed_ = true;
    throw;
  }
  recordsFilled_ = true;
  loadFailed_ = false;
  recordsFile_ = path;
  // Taking back the load that first filled the records would leave records
  // that Save ROM refuses to write: the history starts after it.
  if (!wereFilled) history_.Clear();
  origins_[history_.State()] = RecordsOrigin{true, std::string()};
  history_.MarkClean();
  // The controls show what was loaded, so Apply never writes back what the
  // window showed before.
  ScrollBar3Change(this);
  emit recordsChanged();
}

void TForm1::Button3Click(QObject* /*Sender*/) {
  // After a failed start-up the records are all zero: writing them would wipe
  // the unit tables of the chosen ROM.
  if (!recordsFilled_) throw VarskError(NothingToSaveMessage());
  bool applyTyped = false;
  const std::vector<QString> typed = TypedControls();
  if (!typed.empty()) {
    enum { kApply, kWithout, kCancel };
    const Question question{Text(UnappliedValuesQuestion(Utf8(typed))),
                            {{Caption(kApplyAndSaveButton), Question::Role::Accept},
                             {Caption(kSaveWithoutButton), Question::Role::Destructive},
                             {Caption(kCancelButton), Question::Role::Reject}},
                            kApply,
                            kCancel};
    const int answer = dialogs_.Ask(this, question);
    if (answer == kCancel) return;
    applyTyped = answer == kApply;
  }
  SaveRecords(std::string(), applyTyped);
}

bool TForm1::SaveRecords(std::string path, bool applyTyped) {
  // A value Apply refuses stops the save with Apply's message.
  if (applyTyped) Button1Click(this);
  if (path.empty()) {
    const std::optional<QString> fileName = dialogs_.ChooseFile(OpenDialog());
    if (!fileName) return false;
    path = FileNameBytes(*fileName);
  }
  // Records that did not come from a ROM would replace every entry of the
  // file's tables: written only when asked for, unless this is the file they
  // were last saved to.
  const RecordsOrigin origin = OriginNow();
  if ((!origin.loaded || loadFailed_) && !SameFile(path, origin.savedTo)) {
    enum { kWrite, kCancel };
    const Question question{Text(BuiltInTablesQuestion(FullPath(path), loadFailed_)),
                            {{Caption(kWriteButton), Question::Role::Destructive},
                             {Caption(kCancelButton), Question::Role::Reject}},
                            kCancel,
                            kCancel,
                            true};
    if (dialogs_.Ask(this, question) != kWrite) return false;
  }
  SaveRomPath(path);
  return true;
}

void TForm1::SaveRomPath(const std::string& path) {
  SaveRomFile(path, tables_.dataSet, tables_.romBuffers);
  recordsFile_ = path;
  origins_[history_.State()].savedTo = path;
  history_.MarkClean();
}

TForm1::RecordsOrigin TForm1::OriginNow() const {
  const auto found = origins_.find(history_.State());
  return found == origins_.end() ? RecordsOrigin{} : found->second;
}

bool TForm1::HasUnsavedWork() const {
  return (recordsFilled_ && !history_.IsClean()) || !TypedControls().empty();
}

void TForm1::closeEvent(QCloseEvent* event) {
  const bool changed = recordsFilled_ && !history_.IsClean();
  const std::vector<QString> typed = TypedControls();
  if (!changed && typed.empty()) {
    event->accept();
    if (catalogue_ != nullptr) catalogue_->close();
    return;
  }
  enum { kSave, kDiscard, kCancel };
  const Question question{
      Text(UnsavedChangesQuestion(recordsFile_.empty() ? std::string() : FullPath(recordsFile_),
                                  changed, Utf8(typed))),
      {{Caption(kSaveButton), Question::Role::Accept},
       {Caption(kDiscardButton), Question::Role::Destructive},
       {Caption(kCancelButton), Question::Role::Reject}},
      kSave,
      kCancel,
      true};
  bool close = false;
  switch (dialogs_.Ask(this, question)) {
    case kSave:
      // Saved where the records were last loaded from or saved to; a refused
      // value, a cancelled step or a failed write keeps the window open.
      Guarded([&] { close = SaveRecords(recordsFile_, !typed.empty()); });
      break;
    case kDiscard:
      close = true;
      break;
    default:
      break;
  }
  if (close) {
    event->accept();
    if (catalogue_ != nullptr) catalogue_->close();
  } else {
    event->ignore();
  }
}

}  // namespace varsk
