#pragma once

// What the user list hands the editor: the users table's data set over a
// fixture database, open in the default transaction of its own connection.

#include "DbFixture.h"
#include "UsersTable.h"
#include "db/DataSet.h"
#include "db/Database.h"
#include "db/Field.h"
#include "db/Transaction.h"

#include <memory>

struct UsersSet {
    explicit UsersSet(const testsupport::DbFixture &fixture) : database(fixture.openConnection())
    {
        SetUpUsersTable(set);
        set.setDatabase(database.get());
        set.setTransaction(database->defaultTransaction());
        set.open();
    }
    // The list commits what is posted; here the test does.
    void commit() { database->defaultTransaction()->commitRetaining(); }
    void write(const char *column, const QString &value)
    {
        set.fieldByName(QString::fromLatin1(column))->setAsString(value);
    }

    std::unique_ptr<platform::Database> database;
    platform::DataSet set;
};
