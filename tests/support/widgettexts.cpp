#include "widgettexts.h"

#include "testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTranslator>
#include <QWidget>

namespace testsupport {

namespace {

QString nameOf(const QObject *o)
{
    return o->objectName().isEmpty() ? QString(o->metaObject()->className()) : o->objectName();
}

void add(QStringList &out, const QObject *o, const QString &text)
{
    if (!text.trimmed().isEmpty())
        out << nameOf(o) + ": " + text;
}

void modelTexts(QStringList &out, const QObject *owner, const QAbstractItemModel *m)
{
    if (m == nullptr)
        return;
    for (int c = 0; c < m->columnCount(); ++c)
        add(out, owner, m->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            add(out, owner, m->index(r, c).data().toString());
}

void widgetTexts(QStringList &out, const QWidget *w)
{
    if (w->isWindow())
        add(out, w, w->windowTitle());
    add(out, w, w->toolTip());
    if (auto *l = qobject_cast<const QLabel *>(w))
        add(out, w, l->text());
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        add(out, w, b->text());
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        add(out, w, g->title());
    if (auto *e = qobject_cast<const QLineEdit *>(w)) {
        add(out, w, e->text());
        add(out, w, e->placeholderText());
    }
    if (auto *c = qobject_cast<const QComboBox *>(w))
        for (int i = 0; i < c->count(); ++i)
            add(out, w, c->itemText(i));
    if (auto *v = qobject_cast<const QAbstractItemView *>(w))
        modelTexts(out, w, v->model());
    if (auto *m = qobject_cast<const QMenu *>(w))
        add(out, w, m->title());
    for (const QAction *a : w->actions()) {
        add(out, a, a->text());
        add(out, a, a->toolTip());
        if (a->menu() != nullptr)
            add(out, a->menu(), a->menu()->title());
    }
}

} // namespace

QStringList visible_texts(const QWidget *root)
{
    QStringList out;
    widgetTexts(out, root);
    for (const QWidget *w : root->findChildren<QWidget *>())
        widgetTexts(out, w);
    out.removeDuplicates();
    return out;
}

bool has_cjk(const QString &text)
{
    for (const QChar ch : text) {
        const ushort u = ch.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

QStringList cjk_texts(const QStringList &texts)
{
    QStringList out;
    for (const QString &t : texts)
        if (has_cjk(t))
            out << t;
    return out;
}

class ScopedTranslation::QTranslatorHolder {
public:
    QTranslator translator;
};

ScopedTranslation::ScopedTranslation(const QString &name) : holder_(new QTranslatorHolder)
{
    const QString file =
        QString::fromStdString(binary_dir()) + "/translations/" + name + ".qm";
    loaded_ = holder_->translator.load(file);
    QCoreApplication::installTranslator(&holder_->translator);
}

ScopedTranslation::~ScopedTranslation()
{
    QCoreApplication::removeTranslator(&holder_->translator);
    delete holder_;
}

} // namespace testsupport
