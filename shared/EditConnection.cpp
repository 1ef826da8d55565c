#include "EditConnection.h"

#include "ErrorTranslation.h"
#include "base/Exceptions.h"
#include "db/Database.h"
#include "fIBServer.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

using platform::Database;

namespace {

// A connection whose server has gone away is ended by its close all the same:
// the failure is told once, and the new settings still go in. A failure that
// leaves the connection open passes to the caller.
void closeForNewSettings(Database *connection)
{
    try {
        connection->close();
    } catch (const Exception &error) {
        if (connection->isOpen())
            throw;
        platform::messageBox(ComposeErrorMessage(QStringLiteral("Spojení se serverem bylo přerušeno!"), error),
                             QStringLiteral("Upozornění"), platform::MB_ICONWARNING);
    }
}

} // namespace

bool EditConnection(Database *connection, bool lockDialect, bool openAfterOk)
{
    // Released on every path, also when applying the dialog fails.
    const auto dialog = std::make_unique<TfrmIBServer>();
    dialog->LoadFromDatabase(connection);
    const QList<QWidget *> dialectFields{dialog->edtSQLDialect, dialog->lblDialekt, dialog->boxLc_Ctype,
                                         dialog->lblSada};
    for (QWidget *field : dialectFields)
        field->setEnabled(!lockDialect);

    if (dialog->showModal() != platform::mrOk)
        return false;
    closeForNewSettings(connection);
    dialog->SaveToDatabase(connection);
    if (openAfterOk) {
        try {
            connection->open();
        } catch (const Exception &error) {
            platform::messageBox(ComposeErrorMessage(QStringLiteral("Chyba připojení k databázi!"), error),
                                 QStringLiteral("Upozornění"), platform::MB_ICONWARNING);
            return false;
        }
    }
    return true;
}
