#include "editor_fixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <cstring>

#include "data/entry_fields.h"
#include "data/resources.h"

namespace varsk::testing {

namespace {

template <typename T>
void AppendTable(std::vector<uint8_t>& out, const T* elements, int32_t count) {
  const int32_t header[2] = {count, static_cast<int32_t>(sizeof(T))};
  const auto* headerBytes = reinterpret_cast<const uint8_t*>(header);
  out.insert(out.end(), headerBytes, headerBytes + sizeof(header));
  const auto* bytes = reinterpret_cast<const uint8_t*>(elements);
  out.insert(out.end(), bytes, bytes + sizeof(T) * static_cast<size_t>(count));
}

void FillSheet(TileSheet& sheet, int seed) {
  for (int t = 0; t < kTilesPerSheet; ++t) {
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; x += 2) {
        const int left = (x + y + t + seed) % 16;
        const int right = (x * 3 + y * 5 + t + seed) % 16;
        sheet.bytes[t * kTileBytes + y * 4 + x / 2] = static_cast<uint8_t>(left << 4 | right);
      }
    }
  }
}

// Numbers that the ROM stores keep their values apart within the record but
// stay inside their fields, so Apply takes what a fresh entry shows.
template <typename Record>
void FitRomFields(Record& record, EntryKind kind) {
  for (const EntryField& field : EntryFields(kind)) {
    if (field.coding == FieldCoding::NotStored || field.coding == FieldCoding::RawBytes ||
        field.weaponSlot >= 0) {
      continue;
    }
    const int64_t value = FieldValue(record, field);
    SetFieldValue(record, field, value % (field.Maximum() + 1));
  }
}

}  // namespace

std::unique_ptr<DataSet> MakeSyntheticDataSet() {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  for (int k = 1; k <= kMsEntryCount; ++k) {
    MsRecord& r = *dataSet->MsSlot(k);
    auto* fields = reinterpret_cast<int32_t*>(&r);
    // Every 32-bit field gets its own value: k * 1000 + its position, cut to
    // what the ROM holds for the fields it stores.
    for (int i = 0; i < 27; ++i) fields[i] = k * 1000 + i;
    FitRomFields(r, EntryKind::Ms);
    r.spriteIndex = 1 + (k % 2);
    r.terrainFlags = k % 8;
    r.moveType = k % 16;
    r.factionFlags = (k * 37) % 8192;
    r.factoryFlags = k % 8;
    for (int s = 0; s < kWeaponSlotsPerRecord; ++s) {
      r.weapons[s] = {1 + (k + s) % 175, 10 + s, s - 3, 100 + s, 200 + s, 300 + s, 1};
    }
    r.rawBytes[0] = 3;
    r.rawBytes[1] = 20;
    r.rawBytes[2] = static_cast<uint8_t>(k);
    r.rawBytes[3] = 0xAB;
  }
  for (int n = 1; n <= kShipEntryCount; ++n) {
    ShipRecord& r = *dataSet->ShipSlot(n);
    auto* fields = reinterpret_cast<int32_t*>(&r);
    for (int i = 0; i < 26; ++i) fields[i] = 500000 + n * 1000 + i;
    FitRomFields(r, EntryKind::Ship);
    r.spriteIndex = 3;
    r.terrainFlags = n % 8;
    r.moveType = n % 16;
    r.factionFlags = (n * 91) % 8192;
    r.factoryFlags = n % 8;
    for (int s = 0; s < kWeaponSlotsPerRecord; ++s) {
      r.weapons[s] = {1 + (n * 3 + s) % 175, 20 + s, s, 0, 0, 0, 1};
    }
    r.rawBytes[0] = 0x82;
    r.rawBytes[1] = 0x5A;
    r.rawBytes[2] = static_cast<uint8_t>(n);
  }
  // Clips 1..147: 4 x 4 cells numbered 1..16, a few of them flipped.
  for (int k = 1; k <= 147; ++k) {
    ClipRecord& clip = dataSet->clips[static_cast<size_t>(k - 1)];
    clip.cols = 4;
    clip.rows = 4;
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        clip.tile[r * kClipGridSide + c] = static_cast<uint8_t>(1 + r * 4 + c);
        clip.flip[r * kClipGridSide + c] = static_cast<uint8_t>((r + c + k) % 4);
      }
    }
  }
  for (int p = 0; p < 230; ++p) {
    for (int i = 0; i < 16; ++i) {
      const int red = (i * 2 + p) % 32, green = (i * 5 + p * 3) % 32, blue = (31 - i * 2) % 32;
      dataSet->entryPalettes[static_cast<size_t>(p)].colours[i] =
          static_cast<uint16_t>(red | green << 5 | blue << 10);
    }
  }
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < 16; ++i) {
      dataSet->iconPalettes[static_cast<size_t>(p)].colours[i] =
          static_cast<uint16_t>((i * 2) | ((p * 8) % 32) << 5 | (31 - i) << 10);
    }
  }
  FillSheet(dataSet->iconSheet, 7);
  // The top pixel row of every icon tile is transparent: it shows the background.
  for (int t = 0; t < kTilesPerSheet; ++t) {
    std::memset(&dataSet->iconSheet.bytes[t * kTileBytes], 0, 4);
  }
  for (int s = 0; s < 4; ++s) FillSheet(dataSet->spriteSheets[static_cast<size_t>(s)], s);
  dataSet->spriteInfos[1].animSet = 1;
  dataSet->spriteInfos[2].animSet = 2;
  dataSet->spriteInfos[3].animSet = 19;
  return dataSet;
}

std::vector<uint8_t> EncodeDataSet(const DataSet& d) {
  std::vector<uint8_t> out(4, 0);
  AppendTable(out, d.msRecords.data(), d.msCount);
  AppendTable(out, d.shipRecords.data(), d.shipCount);
  AppendTable(out, d.clips.data(), 147);
  AppendTable(out, d.entryPalettes.data(), 230);
  AppendTable(out, d.iconPalettes.data(), 4);
  AppendTable(out, &d.iconSheet, 1);
  AppendTable(out, d.spareSheets.data(), 0);
  AppendTable(out, d.spriteInfos.data(), 4);
  AppendTable(out, d.spriteSheets.data(), 4);
  return out;
}

std::optional<QString> RecordingDialogs::ChooseFile(QFileDialog& dialog) {
  dialogsShown.push_back(&dialog);
  if (fileAnswers.empty()) return std::nullopt;
  const bool cancelled = !fileAnswers.front().has_value();
  const QString name = cancelled ? QString() : *fileAnswers.front();
  fileAnswers.pop_front();
  if (cancelled) return std::nullopt;
  return name;
}

void RecordingDialogs::ShowError(QWidget* /*parent*/, const QString& text) {
  errors.push_back(text);
}

int RecordingDialogs::Ask(QWidget* /*parent*/, const Question& question) {
  questions.push_back(question);
  int answer = question.escapeButton;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  lastAnswer_ = question.buttons.at(static_cast<size_t>(answer)).text;
  return answer;
}

std::vector<std::string> NameListLines(char language, int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) {
    const bool weapon = i > kEntryNameLines;
    const int n = weapon ? i - kEntryNameLines : i;
    switch (language) {
      case 'E':
        lines.push_back((weapon ? "Weapon " : "Unit ") + std::to_string(n));
        break;
      case 'C':
        lines.push_back((weapon ? "武器" : "單位") + std::to_string(n));
        break;
      default:
        lines.push_back((weapon ? "ぶき" : "ユニット") + std::to_string(n));
        break;
    }
  }
  return lines;
}

void WriteNameList(const QString& folder, char language, const std::vector<std::string>& lines,
                   const std::string& lineEnd) {
  QFile file(folder + QStringLiteral("/namestring%1.txt").arg(QLatin1Char(language)));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  file.write(text.data(), static_cast<qint64>(text.size()));
}

void EditorTest::SetUp() {
  ASSERT_TRUE(folder_.isValid());
  previousDir_ = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder_.path()));
  for (char language : {'C', 'E', 'J'}) {
    WriteNameList(folder_.path(), language, NameListLines(language));
  }
  reference_ = MakeSyntheticDataSet();
  resourceBytes_ = EncodeDataSet(*reference_);
  RegisterResource(kDataSetResourceType, kDataSetResourceName, resourceBytes_);
  dataSet_ = std::make_unique<DataSet>();
  animSets_ = std::make_unique<AnimSetTable>();
  romBuffers_ = std::make_unique<RomBuffers>();
}

void EditorTest::TearDown() {
  form_.reset();
  UnregisterResource(kDataSetResourceType, kDataSetResourceName);
  QDir::setCurrent(previousDir_);
}

void EditorTest::CreateWindow() {
  form_ = std::make_unique<TForm1>(EditorTables{*dataSet_, *animSets_, *romBuffers_}, dialogs_);
}

void EditorTest::ChooseEntry(int position) {
  form_->ComboBox2->setCurrentIndex(position);
  emit form_->ComboBox2->activated(position);
}

}  // namespace varsk::testing
