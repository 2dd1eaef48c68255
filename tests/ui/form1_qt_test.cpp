#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "form1.h"
#include "form1_controls.h"
#include "window_export.h"

// Prints QStrings as text in failure messages.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class Form1Test : public testing::Test {
 protected:
  Form1Test() : form_(QFile::encodeName(dir_.path()).toStdString()) {
    form_.SetMessageBox(
        [this](const QString& title, const QString& text) { boxes_.emplace_back(title, text); });
  }

  template <typename T>
  T* Control(const char* name) {
    T* control = form_.findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  void WriteExport(const QByteArray& content) {
    QFile file(dir_.filePath(QStringLiteral("LOG.CSV")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  // Returns field 3, the operator, of each record in marigold.txt.
  QList<QByteArray> OperatorFields() {
    QFile file(dir_.filePath(QStringLiteral("marigold.txt")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> operators;
    for (const QByteArray& line : file.readAll().split('\n')) {
      if (!line.isEmpty()) operators.push_back(line.split('|').value(3));
    }
    return operators;
  }

  // Returns the message that ends a run of n records, which names marigold.txt.
  QString Finish(int n) {
    return QStringLiteral("FINISH MARIGOLD.TXT with %1 DATA in FILE\nWritten to \"%2\".")
        .arg(n)
        .arg(dir_.filePath(QStringLiteral("marigold.txt")));
  }

  void TypeInto(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

  QTemporaryDir dir_;
  Form1 form_;
  std::vector<std::pair<QString, QString>> boxes_;  // title and text of each box
};

const QByteArray kExport(ui_test::kExport);

TEST_F(Form1Test, TypedLettersArriveUpperCaseWhilePasteKeepsCase) {
  auto* text1 = Control<QLineEdit>("Text1");
  TypeInto(text1, QStringLiteral("log-2"));
  // Letters off the test keyboard: é has an upper case of its own, ß has none.
  for (const QString& typed : {QStringLiteral("é"), QStringLiteral("ß")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(text1, &press);
  }
  QTest::keyClicks(text1, QStringLiteral(".csv"));
  EXPECT_EQ(text1->text(), QStringLiteral("LOG-2Éß.CSV"));

  QTest::keyClick(text1, Qt::Key_Backspace);
  EXPECT_EQ(text1->text(), QStringLiteral("LOG-2Éß.CS"));

  auto* text2 = Control<QLineEdit>("Text2");
  text2->clear();
  QApplication::clipboard()->setText(QStringLiteral("Mixed Case"));
  text2->paste();
  QTest::keyClick(text2, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClicks(text2, QStringLiteral("x"));
  EXPECT_EQ(text2->text(), QStringLiteral("Mixed CaseMixed CaseX"));
}

TEST_F(Form1Test, StartConvertsTheExportWithTheTypedNames) {
  WriteExport(kExport);
  TypeInto(Control<QLineEdit>("Text1"), QStringLiteral("log.csv"));
  TypeInto(Control<QLineEdit>("Text2"), QStringLiteral("hb9abc"));
  QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);

  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].first, QStringLiteral("swisslog-to-marigold"));
  EXPECT_EQ(boxes_[0].second, Finish(3));
  EXPECT_EQ(OperatorFields(), (QList<QByteArray>{"HB9ABC", "HB9ABC", "HB9ABC"}));
  EXPECT_EQ(Control<QLabel>("Label2")->text(), QStringLiteral("3"));

  // A second run starts counting from 0 again and ends on its own count.
  WriteExport(kExport.left(kExport.indexOf("DL,")));
  Control<QLineEdit>("Text2")->clear();
  QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
  ASSERT_EQ(boxes_.size(), 2U);
  EXPECT_EQ(boxes_[1].second, Finish(2));
  EXPECT_EQ(OperatorFields(), (QList<QByteArray>{"", ""}));
  EXPECT_EQ(Control<QLabel>("Label2")->text(), QStringLiteral("2"));
}

// INFO's text, word for word; the control table makes it from the column table.
constexpr std::string_view kInfoWords =
    "For to work correctly please make this format of data in CVS format:\r\n\r\nDXCC,Call,Date,"
    "Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,RSTR,RSTR_NR,QSLR,"
    "QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX";
static_assert(form1::kInfoText == kInfoWords, "INFO lists the columns in the words it always has");

TEST_F(Form1Test, InfoShowsTheExpectedColumns) {
  QTest::mouseClick(Control<QPushButton>("Command2"), Qt::LeftButton);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].first, QStringLiteral("MARIGOLD CVS FORMAT"));
  EXPECT_EQ(boxes_[0].second,
            QString::fromUtf8(kInfoWords.data(), static_cast<qsizetype>(kInfoWords.size())));
}

TEST_F(Form1Test, TabMovesFromStartToInfoToBothFieldsAndTheButtonBetween) {
  form_.show();
  QApplication::setActiveWindow(&form_);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  Control<QPushButton>("Command1")->setFocus();
  std::vector<QString> visited;
  for (int i = 0; i < 5; ++i) {
    visited.push_back(QApplication::focusWidget()->objectName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited, (std::vector<QString>{"Command1", "Command2", "Text1", "Command3", "Text2"}));
  EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
}

TEST_F(Form1Test, ScreenReadersNameEachFieldByItsLabel) {
  const auto name = [this](const char* control) {
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(Control<QWidget>(control));
    return accessible == nullptr ? QStringLiteral("?") : accessible->text(QAccessible::Name);
  };
  EXPECT_EQ(name("Text1"), QStringLiteral("FileName in path:"));
  EXPECT_EQ(name("Text2"), QStringLiteral("Operator Name:"));
  EXPECT_EQ(name("Command1"), QStringLiteral("START"));
  EXPECT_EQ(name("Command2"), QStringLiteral("INFO"));
  EXPECT_EQ(name("Command3"), QStringLiteral("Choose the export file"));
  EXPECT_EQ(Control<QPushButton>("Command3")->toolTip(), QStringLiteral("Choose the export file"));
}

TEST_F(Form1Test, TheButtonBesideText1OpensTheDialogWhereTheNameLeadsAndFillsTheBox) {
  QTemporaryDir other;
  ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("Exports")));
  const QString exports = other.filePath(QStringLiteral("Exports"));
  std::vector<QString> folders;
  QString chosen;  // what the stand-in dialog returns; empty for Cancel
  form_.SetFileDialog([&](const QString& folder) {
    folders.push_back(folder);
    return chosen;
  });
  auto* text1 = Control<QLineEdit>("Text1");
  // Each step found whatever its case, as START finds it; a missing file opens
  // its folder; a missing folder, the program's.
  const std::vector<std::pair<QString, QString>> starts = {
      {QStringLiteral("LOG.CSV"), dir_.path()},
      {other.path() + QStringLiteral("/EXPORTS/NEW.CSV"), exports},
      {other.path() + QStringLiteral("/EXPORTS"), exports},
      {other.path() + QStringLiteral("/NOWHERE/LOG.CSV"), dir_.path()}};
  for (const auto& [typed, folder] : starts) {
    text1->setText(typed);
    QTest::mouseClick(Control<QPushButton>("Command3"), Qt::LeftButton);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.back(), folder) << typed.toStdString();
    EXPECT_EQ(text1->text(), typed) << "Cancel leaves the box as it was";
  }

  // A file chosen outside the program's folder: its path as it is, nothing started.
  QFile file(exports + QStringLiteral("/My Log.csv"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(kExport);
  file.close();
  chosen = QFileInfo(file).absoluteFilePath();
  QTest::mouseClick(Control<QPushButton>("Command3"), Qt::LeftButton);
  EXPECT_EQ(text1->text(), QDir::toNativeSeparators(chosen));
  EXPECT_TRUE(boxes_.empty());
  QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].second, Finish(3)) << "marigold.txt is written beside the program";
  EXPECT_EQ(OperatorFields().size(), 3);
}

TEST_F(Form1Test, AMissingExportIsToldWhereItBelongs) {
  TypeInto(Control<QLineEdit>("Text1"), QStringLiteral("log.csv"));
  QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_TRUE(boxes_[0].second.contains(
      QStringLiteral("\nSave the export in \"%1\", beside the program.\n").arg(dir_.path())))
      << boxes_[0].second.toStdString();
}

// Drags data over target and drops it there, as a file manager does; returns
// whether the drag was accepted.
bool DragAndDrop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

TEST_F(Form1Test, ADroppedFileNamesTheExportAsItIsAndStartsNothing) {
  WriteExport(kExport);
  const QString path = dir_.filePath(QStringLiteral("My Lög.csv"));
  ASSERT_TRUE(QFile::copy(dir_.filePath(QStringLiteral("LOG.CSV")), path));
  auto* text1 = Control<QLineEdit>("Text1");
  for (QWidget* target : {static_cast<QWidget*>(text1), static_cast<QWidget*>(&form_)}) {
    TypeInto(text1, QStringLiteral("old"));
    text1->setCursorPosition(1);
    EXPECT_TRUE(DragAndDrop(target, {QUrl::fromLocalFile(path)}));
    EXPECT_EQ(text1->text(), path);  // in place of the old text, not in capitals
  }
  // Two files, a folder and an address change nothing.
  TypeInto(text1, QStringLiteral("old"));
  for (const QList<QUrl>& urls :
       {QList<QUrl>{QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)},
        QList<QUrl>{QUrl::fromLocalFile(dir_.path())},
        QList<QUrl>{QUrl(QStringLiteral("https://example.org/LOG.CSV"))}}) {
    EXPECT_FALSE(DragAndDrop(text1, urls));
    EXPECT_FALSE(DragAndDrop(&form_, urls));
    EXPECT_EQ(text1->text(), QStringLiteral("OLD"));
  }
  EXPECT_TRUE(boxes_.empty()) << "a drop starts no run";
  EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("marigold.txt"))));

  // START converts the dropped path, its case and blank kept.
  DragAndDrop(text1, {QUrl::fromLocalFile(path)});
  QTest::mouseClick(Control<QPushButton>("Command1"), Qt::LeftButton);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].second, Finish(3));
}

TEST_F(Form1Test, LayoutFollowsTwipsAt96Dpi) {
  if (form_.logicalDpiX() != 96 || form_.logicalDpiY() != 96) GTEST_SKIP() << "screen not 96 dpi";
  EXPECT_EQ(form_.size(), QSize(444, 157));
  EXPECT_EQ(form_.minimumSize(), form_.maximumSize());
  EXPECT_EQ(Control<QPushButton>("Command1")->geometry(), QRect(9, 6, 99, 27));
  EXPECT_EQ(Control<QLabel>("Label2")->geometry(), QRect(340, 106, 92, 26));
  // The button ends where Text2 does, clear of Text1.
  EXPECT_EQ(Control<QPushButton>("Command3")->geometry(), QRect(134, 60, 24, 23));
  EXPECT_EQ(Control<QLineEdit>("Text1")->geometry(), QRect(9, 60, 120, 23));
}

TEST_F(Form1Test, ShowsTheIconFile) {
  EXPECT_EQ(form_.windowIcon().availableSizes(), (QList<QSize>{QSize(32, 32)}));
}

}  // namespace
