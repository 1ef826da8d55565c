#include "EditConnection.h"

#include "ErrorTranslation.h"
#include "db/Database.h"
#include "fIBServer.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

using platform::Database;

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
    connection->close();
    dialog->SaveToDatabase(connection);
    if (openAfterOk) {
        try {
            connection->open();
        } catch (const std::exception &error) {
            platform::messageBox(ComposeErrorMessage(QStringLiteral("Chyba připojení k databázi!"), error),
                                 QStringLiteral("Upozornění"), platform::MB_ICONWARNING);
            return false;
        }
    }
    return true;
}
