#pragma once

// The data-entry edit: limits typed characters to one kind of value, turns
// Enter into a move to the next control, aligns its text, and completes and
// checks a short date when the user leaves it.

#include <QLineEdit>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TCharType { ctAll, ctInteger, ctFloat, ctDate, ctIntegerUnsigned, ctFloatUnsigned };
enum TEditCharCase { ecNormal, ecUpperCase };

class TAEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TAEdit(QWidget *owner = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool EnterIsTab() const { return FEnterIsTab; }
    void SetEnterIsTab(bool value) { FEnterIsTab = value; }
    TCharType CharType() const { return FCharType; }
    void SetCharType(TCharType value) { FCharType = value; }

    // Limits typing (and pasting) only; 0 is no limit. Text set by the
    // program is never cut.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value) { FMaxLength = value; }
    // Letters typed show in upper case; text set by the program too.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    // A nonzero character hides the text.
    void SetPasswordChar(QChar value);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool value) { setReadOnly(value); }

    // May rewrite the character; a rejected one becomes the null character.
    static bool FilterKey(QChar &key, TCharType charType);
    // Digits, Backspace and Escape come back unchanged; anything else beeps
    // and gives the null character.
    static QChar CheckDigit(QChar key);
    // Completes a short date with today's month and year and checks it,
    // showing the warning box for a text that is no date.
    static void CompleteDate(QString &text);

signals:
    // The base's events: OnKeyDown (virtual key; 0 consumes it), OnKeyPress
    // (the typed character after the filter; the null character drops it),
    // OnExit (the focus went to another control) and OnChange (the text changed).
    void OnKeyDown(int &key, Qt::KeyboardModifiers shift);
    void OnKeyPress(QChar &key);
    void OnExit();
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void typeCharacter(QKeyEvent *event);
    void CMExit();
    void applyCharCase();

    TAlignment FAlignment = taLeftJustify;
    bool FEnterIsTab = false;
    TCharType FCharType = ctAll;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
};
