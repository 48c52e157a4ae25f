#pragma once
// Entry of a dotted IPv4 address in four octet fields with the dots drawn between them. The
// assembled text (property ip) follows the fields; typing is limited to octets, and the
// keyboard focus moves on after a full octet or a ".", and back on Backspace in an empty field.

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

class IPAddress : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ip READ getIP WRITE setValue)

public:
    explicit IPAddress(QWidget *parent = nullptr);

    QString getIP() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void textChanged(const QString &text);
    void setValue(const QString &ip);
    void clear();
    void setBgColor(const QString &bgColor);
    void setBorderColor(const QString &borderColor);
    void setBorderRadius(int borderRadius);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *labDot1;
    QLabel *labDot2;
    QLabel *labDot3;
    QLineEdit *txtIP1;
    QLineEdit *txtIP2;
    QLineEdit *txtIP3;
    QLineEdit *txtIP4;

    QString ip;
    QString bgColor;
    QString borderColor;
    int borderRadius;
};
