#include "form1.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QtMath>
#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr qint64 kFrameMs = 16;
const QString kProgramName = QStringLiteral("swisslog-to-marigold");

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

// Draws the window's icon: a marigold blossom over a sheet of lined paper.
QIcon MakeIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  painter.setPen(QPen(QColor(90, 90, 90), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(1.5, 5.5, 19, 25));
  painter.setPen(QPen(QColor(70, 110, 200), 1.5));
  for (int y = 11; y <= 27; y += 4) painter.drawLine(QPointF(4, y), QPointF(18, y));

  const QPointF centre(22, 11);
  painter.setPen(QPen(QColor(170, 70, 0), 0.8));
  painter.setBrush(QColor(250, 140, 0));
  for (int i = 0; i < 10; ++i) {
    const qreal angle = qDegreesToRadians(36.0 * i);
    const QPointF tip = centre + QPointF(6.5 * qCos(angle), 6.5 * qSin(angle));
    painter.drawEllipse((centre + tip) / 2, 3.2, 3.2);
  }
  painter.setBrush(QColor(255, 205, 40));
  painter.drawEllipse(centre, 3.6, 3.6);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

Form1::Form1(std::filesystem::path programDir, QWidget* parent)
    : QWidget(parent), programDir_(std::move(programDir)) {
  showBox_ = [this](const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box.exec();
  };

  setWindowTitle(QStringLiteral("From SWISSLOG exported in CVS to MARIGOLD.TXT"));
  setWindowIcon(MakeIcon());
  const int clientWidth = qRound(6660.0 * logicalDpiX() / kTwipsPerInch);
  const int clientHeight = qRound(2355.0 * logicalDpiY() / kTwipsPerInch);
  setFixedSize(clientWidth, clientHeight);

  auto makeLabel = [this](const char* name, const QString& text, qreal pointSize) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setFont(SansFont(pointSize, true));
    return label;
  };
  auto makeEdit = [this](const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QLatin1String(name));
    edit->installEventFilter(this);
    return edit;
  };

  Command1 = new QPushButton(QStringLiteral("START"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setFont(SansFont(13.5, true));
  PlaceTwips(Command1, 135, 90, 1485, 405);

  Command2 = new QPushButton(QStringLiteral("INFO"), this);
  Command2->setObjectName(QStringLiteral("Command2"));
  PlaceTwips(Command2, 1695, 165, 615, 255);

  Label3 = makeLabel("Label3",
                     QStringLiteral("SWISSLOG to MARIGOLD converter\n"
                                    "Free to use and to pass on\n"
                                    "Good luck in the pile-ups, 73!"),
                     9.75);
  Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label3->setWordWrap(true);
  QPalette red = Label3->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label3->setPalette(red);
  PlaceTwips(Label3, 2445, 165, 3960, 1080);

  Label4 = makeLabel("Label4", QStringLiteral("FileName in path:"), 8.25);
  PlaceLabel(Label4, 135, 660, 1500, 225);

  Text1 = makeEdit("Text1", QStringLiteral("LOG.CSV"));
  PlaceTwips(Text1, 135, 900, 2235, 345);

  Label5 = makeLabel("Label5", QStringLiteral("Operator Name:"), 8.25);
  PlaceLabel(Label5, 135, 1320, 1500, 225);

  Text2 = makeEdit("Text2", QStringLiteral("NAME"));
  PlaceTwips(Text2, 135, 1560, 2235, 345);

  // The counter looks like a text box: the colours of a field one types in, a
  // one-line frame.
  Label2 = makeLabel("Label2", QStringLiteral("0"), 13.5);
  Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label2->setFrameStyle(QFrame::Box | QFrame::Plain);
  Label2->setLineWidth(1);
  Label2->setIndent(0);  // a framed label otherwise pushes top-aligned text down
  QPalette field = Label2->palette();
  field.setColor(QPalette::Window, field.color(QPalette::Base));
  field.setColor(QPalette::WindowText, field.color(QPalette::Text));
  Label2->setPalette(field);
  Label2->setAutoFillBackground(true);
  PlaceTwips(Label2, 5100, 1590, 1380, 390);

  Label1 = makeLabel("Label1", QStringLiteral("EXPORT MARIGOLD.TXT format."), 9.75);
  PlaceLabel(Label1, 105, 1980, 3540, 315);

  const std::array<QWidget*, 9> tabOrder = {Command1, Label1, Label2, Label3, Command2,
                                            Text1,    Label4, Text2,  Label5};
  for (std::size_t i = 0; i + 1 < tabOrder.size(); ++i) setTabOrder(tabOrder[i], tabOrder[i + 1]);

  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

void Form1::PlaceLabel(QLabel* label, int left, int top, int width, int height) const {
  PlaceTwips(label, left, top, width, height);
  // The platform's sans-serif runs wider than the bitmap font the layout was drawn
  // for: a one-line label grows to the right rather than cut its text.
  label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

void Form1::PlaceTwips(QWidget* widget, int left, int top, int width, int height) const {
  // Rounds both edges rather than the size, so that neighbours meet exactly.
  auto x = [this](int twips) { return qRound(1.0 * twips * logicalDpiX() / kTwipsPerInch); };
  auto y = [this](int twips) { return qRound(1.0 * twips * logicalDpiY() / kTwipsPerInch); };
  widget->setGeometry(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
}

void Form1::Command1_Click() {
  form_.xx = 0;
  form_.NomeFile = QFile::encodeName(Text1->text()).toStdString();
  form_.NomeUtente = Text2->text().toUtf8().toStdString();
  conversion::ConvertFile(form_, programDir_, *this);
  FlushCounter();
}

void Form1::Command2_Click() {
  showBox_(QStringLiteral("MARIGOLD CVS FORMAT"),
           QStringLiteral("For to work correctly please make this format of data in CVS format:"
                          "\r\n\r\n"
                          "DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,"
                          "QTH-Locator,QTH,RSTS,RSTS_NR,RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,"
                          "MY-QTH,Contest,QSL-Mgr,Region,WPX"));
}

bool Form1::Text1_KeyPress(QEvent* event) { return TypeUpperCase(Text1, event); }

bool Form1::Text2_KeyPress(QEvent* event) { return TypeUpperCase(Text2, event); }

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1) return Text1_KeyPress(event);
  if (watched == Text2) return Text2_KeyPress(event);
  return QWidget::eventFilter(watched, event);
}

void Form1::RepaintCounter() {
  if (counterClock_.isValid() && counterClock_.elapsed() < kFrameMs) return;
  FlushCounter();
  counterClock_.start();
}

void Form1::SetCounterText(std::string_view text) { counterText_.assign(text); }

void Form1::ShowMessage(std::string_view text) {
  // The closing message follows the last line: the final count shows behind it.
  FlushCounter();
  showBox_(kProgramName, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Form1::FlushCounter() {
  Label2->setText(QString::fromStdString(counterText_));
  Label2->repaint();
}
