// The Qt window on Linux: lays its controls out from the control table, upper-cases typing and
// runs a conversion on START.

#include "form1.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "form1_controls.h"
#include "input_name.h"
#include "platform.h"

namespace {

// Returns the platform's sans-serif font at a point size.
QFont SansFont(qreal pointSize, bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

// Upper-cases each character on its own, so that a character whose upper case
// is longer (ß) stays as it is.
QString UpperEachChar(const QString& text) {
  std::u32string chars = text.toStdU32String();
  for (char32_t& c : chars) c = QChar::toUpper(c);
  return QString::fromStdU32String(chars);
}

// Delivers a typed key or a committed input-method text to edit in upper case.
// Returns true when it delivered a replacement in place of event; events that
// are already upper case, control keys and shortcuts such as Ctrl+V pass on.
bool TypeUpperCase(QObject* edit, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString upper = UpperEachChar(key->text());
    if (upper == key->text()) return false;
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(),
                    key->nativeVirtualKey(), key->nativeModifiers(), upper, key->isAutoRepeat(),
                    static_cast<quint16>(key->count()));
    QCoreApplication::sendEvent(edit, &typed);
    event->setAccepted(typed.isAccepted());
    return true;
  }
  if (event->type() == QEvent::InputMethod) {
    auto* input = static_cast<QInputMethodEvent*>(event);
    const QString upper = UpperEachChar(input->commitString());
    if (upper == input->commitString()) return false;
    QInputMethodEvent typed(input->preeditString(), input->attributes());
    typed.setCommitString(upper, input->replacementStart(), input->replacementLength());
    QCoreApplication::sendEvent(edit, &typed);
    return true;
  }
  return false;
}

// Returns the full path of the one local file a drag carries; an empty text for
// several files, a folder or an address.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  if (QFileInfo(path).isDir()) return {};
  return QDir::toNativeSeparators(path);
}

// Returns UTF-8 text as a QString.
QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Form1::Form1(std::filesystem::path programDir, QWidget* parent)
    : QWidget(parent), programDir_(std::move(programDir)) {
  showBox_ = [this](const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box.exec();
  };
  chooseFile_ = [this](const QString& folder) {
    // Lists both cases, since the patterns of Qt's own dialog heed case.
    return QFileDialog::getOpenFileName(
        this, FromUtf8(form1::kChooseTitle), folder,
        QStringLiteral("Exports (*.csv *.CSV *.txt *.TXT);;All files (*)"));
  };

  setWindowTitle(FromUtf8(form1::kCaption));
  // Links the icon in, which a static library would otherwise leave out.
  Q_INIT_RESOURCE(form1);
  setWindowIcon(QIcon(QStringLiteral(":/marigold.ico")));
  const int clientWidth = form1::TwipsToPixels(form1::kClientWidth, logicalDpiX());
  const int clientHeight = form1::TwipsToPixels(form1::kClientHeight, logicalDpiY());
  setFixedSize(clientWidth, clientHeight);
  setAcceptDrops(true);

  std::array<QWidget*, form1::kControls.size()> widgets{};
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    const form1::Control& control = form1::kControls[i];
    widgets[i] = MakeControl(control);
    widgets[i]->setObjectName(FromUtf8(control.name));
    if (!control.accessibleName.empty()) {
      widgets[i]->setAccessibleName(FromUtf8(control.accessibleName));
      widgets[i]->setToolTip(FromUtf8(control.accessibleName));
    }
    if (control.font.points > 0)
      widgets[i]->setFont(SansFont(control.font.points, control.font.bold));
    if (auto* label = qobject_cast<QLabel*>(widgets[i]);
        label && !control.wrapsLines && !control.fieldLook) {
      PlaceLabel(label, control.left, control.top, control.width, control.height);
    } else {
      PlaceTwips(widgets[i], control.left, control.top, control.width, control.height);
    }
  }
  Command1 = static_cast<QPushButton*>(widgets[form1::IndexOf("Command1")]);
  Command2 = static_cast<QPushButton*>(widgets[form1::IndexOf("Command2")]);
  Command3 = static_cast<QPushButton*>(widgets[form1::IndexOf("Command3")]);
  Label1 = static_cast<QLabel*>(widgets[form1::IndexOf("Label1")]);
  Label2 = static_cast<QLabel*>(widgets[form1::IndexOf("Label2")]);
  Label3 = static_cast<QLabel*>(widgets[form1::IndexOf("Label3")]);
  Label4 = static_cast<QLabel*>(widgets[form1::IndexOf("Label4")]);
  Label5 = static_cast<QLabel*>(widgets[form1::IndexOf("Label5")]);
  Text1 = static_cast<QLineEdit*>(widgets[form1::IndexOf("Text1")]);
  Text2 = static_cast<QLineEdit*>(widgets[form1::IndexOf("Text2")]);

  // A screen reader names each box by its label, its buddy.
  for (const form1::FieldLabel& field : form1::kFieldLabels) {
    static_cast<QLabel*>(widgets[field.label])->setBuddy(widgets[field.box]);
  }
  for (std::size_t i = 0; i + 1 < form1::kTabOrder.size(); ++i) {
    setTabOrder(widgets[form1::kTabOrder[i]], widgets[form1::kTabOrder[i + 1]]);
  }

  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
}

QWidget* Form1::MakeControl(const form1::Control& control) {
  const QString text = FromUtf8(control.text);
  switch (control.kind) {
    case form1::Kind::PushButton:
      return new QPushButton(text, this);
    case form1::Kind::TextBox: {
      auto* edit = new QLineEdit(text, this);
      edit->installEventFilter(this);
      return edit;
    }
    case form1::Kind::Label:
      break;
  }
  auto* label = new QLabel(text, this);
  label->setWordWrap(control.wrapsLines);
  if (control.centred) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QPalette palette = label->palette();
  if (control.red) palette.setColor(QPalette::WindowText, Qt::red);
  if (control.fieldLook) {
    // The counter looks like a text box: the colours of a field one types in, a
    // one-line frame.
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setIndent(0);  // a framed label otherwise pushes top-aligned text down
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    label->setAutoFillBackground(true);
  }
  label->setPalette(palette);
  return label;
}

void Form1::PlaceLabel(QLabel* label, int left, int top, int width, int height) const {
  PlaceTwips(label, left, top, width, height);
  // The platform's sans-serif runs wider than the bitmap font the layout was drawn
  // for: a one-line label grows to the right rather than cut its text.
  label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

void Form1::PlaceTwips(QWidget* widget, int left, int top, int width, int height) const {
  // Rounds both edges rather than the size, so that neighbours meet exactly.
  auto x = [this](int twips) { return form1::TwipsToPixels(twips, logicalDpiX()); };
  auto y = [this](int twips) { return form1::TwipsToPixels(twips, logicalDpiY()); };
  widget->setGeometry(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
}

void Form1::Command1_Click() {
  form_.xx = 0;
  form_.NomeFile = QFile::encodeName(Text1->text()).toStdString();
  form_.NomeUtente = Text2->text().toUtf8().toStdString();
  conversion::ConvertFile(form_, programDir_, *this);
  FlushCounter();
}

void Form1::Command2_Click() { showBox_(FromUtf8(form1::kInfoTitle), FromUtf8(form1::kInfoText)); }

void Form1::Command3_Click() {
  const std::string folder = conversion::ExportFolder(
      conversion::platform::PathText(programDir_), QFile::encodeName(Text1->text()).toStdString());
  const QString path = chooseFile_(QFile::decodeName(QByteArray::fromStdString(folder)));
  if (!path.isEmpty()) Text1->setText(QDir::toNativeSeparators(path));
}

bool Form1::Text1_KeyPress(QEvent* event) { return TypeUpperCase(Text1, event); }

bool Form1::Text2_KeyPress(QEvent* event) { return TypeUpperCase(Text2, event); }

bool Form1::Form_DragDrop(QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);
  const QString path = DroppedFile(drag->mimeData());
  if (path.isEmpty()) {
    drag->ignore();
    return true;
  }
  drag->acceptProposedAction();
  if (event->type() == QEvent::Drop) Text1->setText(path);
  return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) { Form_DragDrop(event); }

void Form1::dragMoveEvent(QDragMoveEvent* event) { Form_DragDrop(event); }

void Form1::dropEvent(QDropEvent* event) { Form_DragDrop(event); }

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  // Text1's own drop would insert the dropped text at the cursor.
  if (watched == Text1 &&
      (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
    return Form_DragDrop(event);
  }
  if (watched == Text1) return Text1_KeyPress(event);
  if (watched == Text2) return Text2_KeyPress(event);
  return QWidget::eventFilter(watched, event);
}

void Form1::RepaintCounter() {
  if (counterPace_.Due()) FlushCounter();
}

void Form1::SetCounterText(std::string_view text) { counterText_.assign(text); }

void Form1::ShowMessage(std::string_view text) {
  // The closing message follows the last line: the final count shows behind it.
  FlushCounter();
  showBox_(FromUtf8(form1::kProgramName), FromUtf8(text));
}

void Form1::FlushCounter() {
  Label2->setText(QString::fromStdString(counterText_));
  Label2->repaint();
}
