#include "ipaddress.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegExp>
#include <QRegExpValidator>

namespace {

// One octet while typing: any one- or two-digit text, or a three-digit value up to 255.
const char kOctetPattern[] = "(2[0-5]{2}|2[0-4][0-9]|1?[0-9]{1,2})";
// A whole address as setValue takes it (three-digit octets with leading zeros included).
const char kAddressPattern[] =
    "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)";

QLabel *makeDot(QWidget *parent)
{
    auto *dot = new QLabel(parent);
    dot->setAlignment(Qt::AlignCenter);
    dot->setText(".");
    return dot;
}

} // namespace

IPAddress::IPAddress(QWidget *parent) : QWidget(parent)
{
    bgColor = "#FFFFFF";
    borderColor = "#A6B5B8";
    borderRadius = 0;

    labDot1 = makeDot(this);
    labDot2 = makeDot(this);
    labDot3 = makeDot(this);

    QLineEdit **fields[] = {&txtIP1, &txtIP2, &txtIP3, &txtIP4};
    for (int i = 0; i < 4; ++i) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QString("txtIP%1").arg(i + 1));
        field->setAlignment(Qt::AlignCenter);
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(field, SIGNAL(textChanged(QString)), this, SLOT(textChanged(QString)));
        *fields[i] = field;
    }

    auto *validator = new QRegExpValidator(QRegExp(kOctetPattern), this);
    for (QLineEdit **field : fields) {
        (*field)->setValidator(validator);
        (*field)->installEventFilter(this);
    }

    auto *frame = new QFrame(this);
    frame->setObjectName("frameIP");
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(frame);
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(txtIP1);
    row->addWidget(labDot1);
    row->addWidget(txtIP2);
    row->addWidget(labDot2);
    row->addWidget(txtIP3);
    row->addWidget(labDot3);
    row->addWidget(txtIP4);
}

QString IPAddress::getIP() const
{
    return ip;
}

QSize IPAddress::sizeHint() const
{
    return QSize(250, 20);
}

QSize IPAddress::minimumSizeHint() const
{
    return QSize(30, 10);
}

bool IPAddress::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (field == txtIP1 || field == txtIP2 || field == txtIP3 || field == txtIP4) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->text() == ".")
                focusNextChild();
            if (key->key() == Qt::Key_Backspace && field->text().size() <= 1)
                focusNextPrevChild(false);
        }
    }
    // The key still reaches the field: the validator refuses the ".", Backspace deletes.
    return QObject::eventFilter(watched, event);
}

void IPAddress::textChanged(const QString &text)
{
    const int len = text.length();
    const int value = text.toInt();
    if (len == 3 && value >= 100 && value <= 255)
        focusNextChild();
    ip = QString("%1.%2.%3.%4").arg(txtIP1->text(), txtIP2->text(), txtIP3->text(), txtIP4->text());
}

void IPAddress::setValue(const QString &ip)
{
    if (!QRegExp(kAddressPattern).exactMatch(ip) || this->ip == ip)
        return;
    this->ip = ip;
    const QStringList parts = ip.split(".");
    txtIP1->setText(parts.at(0));
    txtIP2->setText(parts.at(1));
    txtIP3->setText(parts.at(2));
    txtIP4->setText(parts.at(3));
}

void IPAddress::clear()
{
    txtIP1->clear();
    txtIP2->clear();
    txtIP3->clear();
    txtIP4->clear();
    txtIP1->setFocus(Qt::OtherFocusReason);
}

void IPAddress::setBgColor(const QString &bgColor)
{
    if (this->bgColor != bgColor)
        this->bgColor = bgColor;
}

void IPAddress::setBorderColor(const QString &borderColor)
{
    if (this->borderColor != borderColor)
        this->borderColor = borderColor;
}

void IPAddress::setBorderRadius(int borderRadius)
{
    if (this->borderRadius != borderRadius)
        this->borderRadius = borderRadius;
}
