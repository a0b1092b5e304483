// The catalogue table's core: filters of words and conditions, and pasted
// cells checked as the import checks an edit file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "core/catalogue_records.h"
#include "edits/edit_file.h"
#include "edits/entry_filter.h"

namespace varsk {
namespace {

using varsk::testing::Catalogue;
using varsk::testing::NameOf;

std::vector<int> Matching(const std::string& text, const DataSet& dataSet) {
  const EntryFilter filter = ParseEntryFilter(text);
  std::vector<int> entries;
  for (int e = 1; e <= kEntryListCount; ++e) {
    if (EntryMeets(filter, dataSet, e, NameOf)) entries.push_back(e);
  }
  return entries;
}

TEST(EntryFilterTest, WordsAndConditionsMustAllHold) {
  const auto dataSet = Catalogue();
  EXPECT_EQ(Matching("", *dataSet).size(), 229u);
  EXPECT_EQ(Matching("RAMP", *dataSet), (std::vector<int>{8}));
  EXPECT_EQ(Matching("單位200", *dataSet), (std::vector<int>{200}));
  EXPECT_EQ(Matching("\"Unit 19\"", *dataSet),
            (std::vector<int>{19, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199}));
  EXPECT_EQ(Matching("012", *dataSet), (std::vector<int>{12}));
  EXPECT_EQ(Matching("hp>=376 kind=ms", *dataSet), (std::vector<int>{188, 189, 190, 191}));
  EXPECT_EQ(Matching("kind=SHIP hp<=502", *dataSet), (std::vector<int>{192, 193}));
  EXPECT_EQ(Matching("kind!=ms entryIndex==229", *dataSet), (std::vector<int>{229}));
  EXPECT_EQ(Matching("w2.ammo<0", *dataSet), (std::vector<int>{3}));  // ships have no weapons
  EXPECT_EQ(Matching("cost=0x3E7", *dataSet), (std::vector<int>{1}));
  EXPECT_TRUE(Matching("hp>300 Rampart", *dataSet).empty());
  // A lone "!" belongs to a word.
  EXPECT_TRUE(Matching("Unit!", *dataSet).empty());
}

TEST(EntryFilterTest, ABadConditionSaysWhatIsWrong) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"hpp>3", "'hpp>3': no field 'hpp'"},
      {"hp>abc", "'hp>abc': 'abc' is not a number"},
      {"hp>", "'hp>': the value is missing"},
      {"kind=tank", "'kind=tank': kind is ms or ship, not 'tank'"},
      {"kind<ms", "'kind<ms': kind takes = or != only"},
      {"nameE=Warden", "'nameE=Warden': nameE is not compared as a number"},
      {"rawBytes=3", "'rawBytes=3': rawBytes is not compared as a number"},
      {">3", "'>3': no field ''"},
      {"\"open", "a quote is not closed"},
  };
  for (const auto& c : cases) {
    try {
      ParseEntryFilter(c.text);
      ADD_FAILURE() << c.text << " was taken";
    } catch (const VarskError& error) {
      EXPECT_TRUE(std::string(error.what()).starts_with(c.message)) << error.what();
    }
  }
}

TEST(PastedCellsTest, AHeaderBlockGoesByEntryAndFieldAndIsCheckedAsAnEditFile) {
  auto dataSet = Catalogue();
  const auto rows = PastedRows("hp\tentryIndex\tw2.ammo\r\n300\t12\t-7\n\t200\t\n");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(IsEditHeader(rows[0]));
  EXPECT_FALSE(IsEditHeader(std::vector<std::string>{"hp", "cost"}));  // no entryIndex
  ApplyEdits("hp\tentryIndex\tw2.ammo\r\n300\t12\t-7\n\t200\t\n", kPastedCellsSource, NameOf,
             *dataSet);
  EXPECT_EQ(dataSet->MsSlot(12)->hp, 300);
  EXPECT_EQ(dataSet->MsSlot(12)->weapons[2].ammo, -7);
  EXPECT_EQ(dataSet->ShipSlot(9)->hp, 509);  // an empty cell changes nothing
  try {
    ApplyEdits("entryIndex\tshipDamage\n200\t5\n", kPastedCellsSource, NameOf, *dataSet);
    ADD_FAILURE();
  } catch (const VarskError& error) {
    EXPECT_EQ(std::string(error.what()),
              "pasted cells line 2: entry 200, field shipDamage: unknown field for an entry of "
              "kind \"ship\"");
  }
}

TEST(PastedCellsTest, CellsByPositionAreCheckedAndTheFirstBadCellNamed) {
  auto dataSet = Catalogue();
  std::vector<CellEdit> cells = {{12, "hp", "250", 0, 0},
                                 {12, "cost", "9", 0, 1},
                                 {13, "hp", "", 1, 0},
                                 {13, "cost", "8", 1, 1}};
  ApplyCellEdits(cells, NameOf, *dataSet);
  EXPECT_EQ(dataSet->MsSlot(12)->hp, 250);
  EXPECT_EQ(dataSet->MsSlot(12)->cost, 9);
  EXPECT_EQ(dataSet->MsSlot(13)->hp, 26);
  EXPECT_EQ(dataSet->MsSlot(13)->cost, 8);

  const struct {
    CellEdit cell;
    const char* message;
  } bad[] = {
      {{14, "hp", "70000", 2, 3},
       "pasted cells row 3 column 4: entry 14, field hp: value 70000 "
       "is out of range (allowed 0..65535)"},
      {{200, "w0.damage", "3", 0, 0}, "pasted cells row 1 column 1: entry 200, field w0.damage: "},
      {{14, "kind", "ship", 0, 0}, "pasted cells row 1 column 1: entry 14, field kind: "},
      {{14, "entryIndex", "15", 0, 0},
       "pasted cells row 1 column 1: entry 14, field entryIndex: "
       "'15' is not the entry's own number"},
      {{14, "nameE", "Other", 0, 0}, "pasted cells row 1 column 1: entry 14, field nameE: "},
  };
  for (const auto& c : bad) {
    try {
      ApplyCellEdits(std::vector<CellEdit>{c.cell}, NameOf, *dataSet);
      ADD_FAILURE() << c.cell.column << " " << c.cell.text << " was taken";
    } catch (const VarskError& error) {
      EXPECT_TRUE(std::string(error.what()).starts_with(c.message)) << error.what();
    }
  }
  // Text that is not tab-separated cells.
  EXPECT_THROW(PastedRows("entryIndex,hp\n12,300\n"), VarskError);
  EXPECT_THROW(PastedRows("\n\n"), VarskError);
  // Text beyond an edit file's bound is refused before it is split.
  try {
    PastedRows(std::string(17 << 20, '1'));
    ADD_FAILURE() << "17 MiB of pasted text was taken";
  } catch (const VarskError& error) {
    EXPECT_TRUE(std::string(error.what()).ends_with("a paste may have; nothing was changed"))
        << error.what();
  }
  EXPECT_THROW(PastedRows(std::string(kEditsFileSizeLimit + 1, '1')), VarskError);
}

}  // namespace
}  // namespace varsk
