#include "Look.h"

#include "Drawing.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace platform {

namespace {

const char kPasswordCharacter[] = "passwordCharacter";

// Qt's "Windows" style draws the classic controls; the edits hide their
// text behind their own password character, "*" unless set otherwise.
class FormStyle : public QProxyStyle {
public:
    FormStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) {
            const QVariant character = widget ? widget->property(kPasswordCharacter) : QVariant();
            return character.isValid() ? character.value<QChar>().unicode() : u'*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Menus name the Insert and Delete keys "Ins" and "Del", as on Windows and in
// Qt's own English; Qt's Czech translation writes them out in full.
class WindowsKeyNames : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QShortcut") != 0)
            return {};
        for (const char *name : {"Ins", "Del"}) {
            if (qstrcmp(sourceText, name) == 0)
                return QString::fromLatin1(name);
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

void installCzechTranslation(QApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new WindowsKeyNames(&application));
}

} // namespace

void installLook(QApplication &application)
{
    QApplication::setStyle(new FormStyle);
    // Tahoma at 11 pixels is the Windows dialog font of the forms' time.
    loadFormFonts();
    QApplication::setFont(tahomaFont(11));
    installCzechTranslation(application);
    // Qt's own dialogs write numbers, dates and file kinds in Czech.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
}

void setPasswordCharacter(QLineEdit *edit, QChar character)
{
    edit->setProperty(kPasswordCharacter, QVariant::fromValue(character));
    // The edit takes the character from the style when its echo mode changes.
    edit->setEchoMode(QLineEdit::Normal);
    if (!character.isNull())
        edit->setEchoMode(QLineEdit::Password);
}

} // namespace platform
