#include "UsersTable.h"

#include "db/DataSet.h"
#include "db/Field.h"

namespace {

const QStringList kSelectSql = {QStringLiteral("select * from DB$UZIV")};

const QStringList kInsertSql = {
    QStringLiteral("insert into DB$UZIV"),
    QStringLiteral("  (UZI$LOGIN, UZI$HESLO, UZI$PRIJMENI, UZI$JMENO, UZI$EMAIL, UZI$PRAVO, "),
    QStringLiteral("   UZI$POZN)"),
    QStringLiteral("values"),
    QStringLiteral("  (:UZI$LOGIN, :UZI$HESLO, :UZI$PRIJMENI, :UZI$JMENO, :UZI$EMAIL, :UZI$PRAVO, "),
    QStringLiteral("   :UZI$POZN)"),
};

const QStringList kModifySql = {
    QStringLiteral("update DB$UZIV"),
    QStringLiteral("set"),
    QStringLiteral("  UZI$LOGIN = :UZI$LOGIN,"),
    QStringLiteral("  UZI$HESLO = :UZI$HESLO,"),
    QStringLiteral("  UZI$PRIJMENI = :UZI$PRIJMENI,"),
    QStringLiteral("  UZI$JMENO = :UZI$JMENO,"),
    QStringLiteral("  UZI$EMAIL = :UZI$EMAIL,"),
    QStringLiteral("  UZI$PRAVO = :UZI$PRAVO,"),
    QStringLiteral("  UZI$POZN = :UZI$POZN"),
    QStringLiteral("where"),
    QStringLiteral("  UZI$LOGIN = :OLD_UZI$LOGIN"),
};

const QStringList kDeleteSql = {
    QStringLiteral("delete from DB$UZIV"),
    QStringLiteral("where"),
    QStringLiteral("  UZI$LOGIN = :OLD_UZI$LOGIN"),
};

const QStringList kRefreshSql = {
    QStringLiteral("Select "),
    QStringLiteral("  UZI$LOGIN,"),
    QStringLiteral("  UZI$HESLO,"),
    QStringLiteral("  UZI$PRIJMENI,"),
    QStringLiteral("  UZI$JMENO,"),
    QStringLiteral("  UZI$EMAIL,"),
    QStringLiteral("  UZI$PRAVO,"),
    QStringLiteral("  UZI$POZN"),
    QStringLiteral("from DB$UZIV "),
    QStringLiteral("where"),
    QStringLiteral("  UZI$LOGIN = :UZI$LOGIN"),
};

struct FieldDef {
    const char *name;
    bool required;
    QString displayLabel; // empty: the field name
};

// The columns in table order; sizes and the fixed length of UZI$PRAVO come
// from the table's own column definitions when the data set opens.
const FieldDef kFields[] = {
    {"UZI$LOGIN", true, QStringLiteral("Přihlašovací jméno")},
    {"UZI$HESLO", false, {}},
    {"UZI$PRIJMENI", true, QStringLiteral("Příjmení")},
    {"UZI$JMENO", false, QStringLiteral("Jméno")},
    {"UZI$EMAIL", false, {}},
    {"UZI$PRAVO", true, {}},
    {"UZI$POZN", false, {}},
};

} // namespace

std::optional<QString> RightStatusText(const QString &letter)
{
    if (letter == kRightReadOnly)
        return QStringLiteral("JEN ČTENÍ");
    if (letter == kRightWrite)
        return QStringLiteral("ZÁPIS");
    if (letter == kRightAdmin)
        return QStringLiteral("ADMINISTRÁTOR");
    return std::nullopt;
}

void SetUpUsersTableStatements(platform::DataSet &setUser)
{
    setUser.setSelectSql(kSelectSql);
    setUser.setInsertSql(kInsertSql);
    setUser.setModifySql(kModifySql);
    setUser.setDeleteSql(kDeleteSql);
    setUser.setRefreshSql(kRefreshSql);
}

void SetUpUsersTable(platform::DataSet &setUser)
{
    SetUpUsersTableStatements(setUser);
    for (const FieldDef &def : kFields) {
        platform::Field *field = setUser.addField(QString::fromLatin1(def.name));
        field->setRequired(def.required);
        if (!def.displayLabel.isEmpty())
            field->setDisplayLabel(def.displayLabel);
    }
}
