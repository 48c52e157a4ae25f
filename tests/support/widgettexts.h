#pragma once
// Every text a user can read on a window: titles, captions, tooltips, header and item texts,
// action and menu texts, for the checks that a language shows no text of the other.

#include <QString>
#include <QStringList>

#include <ostream>

class QWidget;

namespace testsupport {

// Texts of `root` and of all its child widgets, actions and item models, one per entry, each
// prefixed with the object it came from ("pb_connect: 连接").
QStringList visible_texts(const QWidget *root);

// True when `text` holds a CJK ideograph or CJK punctuation.
bool has_cjk(const QString &text);

// The entries of `texts` that hold CJK characters.
QStringList cjk_texts(const QStringList &texts);

// Loads "<test binary folder>/translations/<name>.qm" into a translator installed in the
// application for as long as the returned object lives.
class ScopedTranslation {
public:
    explicit ScopedTranslation(const QString &name);
    ~ScopedTranslation();
    ScopedTranslation(const ScopedTranslation &) = delete;
    ScopedTranslation &operator=(const ScopedTranslation &) = delete;
    bool loaded() const { return loaded_; }

private:
    class QTranslatorHolder;
    QTranslatorHolder *holder_;
    bool loaded_ = false;
};

} // namespace testsupport

// Test failures print texts as texts.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
