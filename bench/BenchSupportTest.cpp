// The benchmarks' own machinery: a floor that lacks widgets or a figure table that misreads a
// target would make every figure meaningless without any benchmark failing.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStackedWidget>
#include <QStringListModel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "BenchRom.h"
#include "BrimwellConst.h"
#include "FigureTable.h"
#include "WidgetMirror.h"
#include "sprites/SpriteTalk.h"

namespace brimwell::bench {
namespace {

std::string LineOf(const std::string& figure) {
  const std::string table = FigureTableText();
  const auto start = table.find("\n" + figure + " ");
  if (start == std::string::npos) return {};
  return table.substr(start + 1, table.find('\n', start + 1) - start - 1);
}

TEST(FigureTableTest, PrintsRatioAndWhetherEachKindOfTargetHolds) {
  DeclareFigure("fast call", "fast floor", Target::UnderNanoseconds(kMicrosecond));
  DeclareFigure("slow save", "save floor", Target::RatioAtMost(1.2));
  DeclareFigure("big process", "small process", Target::RatioAtMost(1.1));
  RecordValue("fast call", 250);
  RecordValue("fast floor", 1000);
  RecordValue("slow save", 3 * kMillisecond);
  RecordValue("save floor", 2 * kMillisecond);
  RecordValue("big process", 2048, Unit::Kibibytes);
  RecordValue("small process", 2048, Unit::Kibibytes);

  EXPECT_NE(LineOf("fast call").find("250.0 ns"), std::string::npos) << LineOf("fast call");
  EXPECT_NE(LineOf("fast call").find("0.250x"), std::string::npos);
  EXPECT_NE(LineOf("fast call").find(" yes"), std::string::npos);
  EXPECT_NE(LineOf("slow save").find("1.500x"), std::string::npos) << LineOf("slow save");
  EXPECT_NE(LineOf("slow save").find(" NO"), std::string::npos);
  EXPECT_NE(LineOf("big process").find("2.0 MiB"), std::string::npos) << LineOf("big process");
  EXPECT_NE(LineOf("big process").find(" yes"), std::string::npos);
}

TEST(FigureTableTest, FigureWithoutItsFloorIsNotMeasured) {
  DeclareFigure("lonely figure", "missing floor");
  RecordValue("lonely figure", 5);
  EXPECT_NE(LineOf("lonely figure").find("not measured"), std::string::npos);
  EXPECT_FALSE(PrintFigureTable());
}

TEST(BenchRomTest, SpritesRunEveryCatalogueRoutineAndTheNamesMatchTheImage) {
  BenchDocument bench;
  const HandlerAddressList addresses = ReadHandlerAddresses(bench.Image().Bytes());
  for (std::size_t sprite = 0; sprite < addresses.size(); ++sprite)
    ASSERT_EQ(addresses[sprite], BrimwellConst::kHandlerAddresses[sprite % kHandlerCount]);

  const BenchNames& names = bench.Names();
  ASSERT_EQ(names.sprites.size(), BrimwellConst::kSpriteCount);
  ASSERT_EQ(names.dialogues.size(), 256u);
  EXPECT_EQ(names.sprites[207].name, "Map sprite 207");
  EXPECT_EQ(names.sprites[207].handlerAddress, addresses[207]);
  EXPECT_EQ(names.dialogues[255], "Dialogue string 255");

  QuillonRecord record;
  ASSERT_EQ(ParseQuillonData(MakeBenchQuillonFile("/roms/game.NES"), record),
            QuillonLoadResult::Loaded);
  EXPECT_EQ(LastRomPath(record), "/roms/game.NES");
}

TEST(WidgetMirrorTest, CopiesEveryWidgetWithItsContentStateAndPlace) {
  QDialog dialog;
  dialog.setWindowTitle("Editor");
  auto* names = new QStringListModel(QStringList{"first", "second", "third"}, &dialog);
  auto* list = new QListView;
  list->setObjectName("lbNames");
  list->setModel(names);
  list->setCurrentIndex(names->index(1));
  auto* choice = new QComboBox;
  choice->setObjectName("cbChoice");
  choice->addItems({"a", "b", "c"});
  choice->setCurrentIndex(2);
  choice->setEnabled(false);
  auto* pages = new QStackedWidget;
  auto* shown = new QLabel("shown page");
  shown->setObjectName("lblShown");
  auto* hidden = new QWidget;
  auto* check = new QCheckBox("ticked", hidden);
  check->setObjectName("ckTicked");
  check->setChecked(true);
  pages->addWidget(shown);
  pages->addWidget(hidden);
  auto* edit = new QLineEdit("$1F");
  edit->setObjectName("eValue");
  auto* layout = new QVBoxLayout(&dialog);
  for (QWidget* widget : {static_cast<QWidget*>(list), static_cast<QWidget*>(choice),
                          static_cast<QWidget*>(pages), static_cast<QWidget*>(edit)})
    layout->addWidget(widget);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  const std::unique_ptr<QDialog> mirror = MirrorInPlainQt(dialog);
  EXPECT_EQ(mirror->windowTitle(), "Editor");
  EXPECT_EQ(mirror->size(), dialog.size());

  const auto* listCopy = mirror->findChild<QListWidget*>("lbNames");
  ASSERT_NE(listCopy, nullptr);
  ASSERT_EQ(listCopy->count(), 3);
  EXPECT_EQ(listCopy->item(2)->text(), "third");
  EXPECT_EQ(listCopy->currentRow(), 1);
  EXPECT_EQ(listCopy->geometry(), list->geometry());

  const auto* choiceCopy = mirror->findChild<QComboBox*>("cbChoice");
  ASSERT_NE(choiceCopy, nullptr);
  EXPECT_EQ(choiceCopy->count(), 3);
  EXPECT_EQ(choiceCopy->currentIndex(), 2);
  EXPECT_FALSE(choiceCopy->isEnabledTo(mirror.get()));

  const auto* shownCopy = mirror->findChild<QLabel*>("lblShown");
  ASSERT_NE(shownCopy, nullptr);
  EXPECT_EQ(shownCopy->text(), "shown page");
  EXPECT_FALSE(shownCopy->isHidden());
  const auto* checkCopy = mirror->findChild<QCheckBox*>("ckTicked");
  ASSERT_NE(checkCopy, nullptr);
  EXPECT_TRUE(checkCopy->isChecked());
  EXPECT_TRUE(checkCopy->parentWidget()->isHidden());

  const auto* editCopy = mirror->findChild<QLineEdit*>("eValue");
  ASSERT_NE(editCopy, nullptr);
  EXPECT_EQ(editCopy->text(), "$1F");
}

}  // namespace
}  // namespace brimwell::bench
