#pragma once

// The product's users table as its database defines it. The programs never
// create it; the demo database and the tests' fixture databases do.

#include <QString>

inline QString UsersTableSchema()
{
    return QStringLiteral("create table DB$UZIV (\n"
                          "  UZI$LOGIN varchar(40) not null primary key,\n"
                          "  UZI$HESLO varchar(30),\n"
                          "  UZI$PRIJMENI varchar(40) not null,\n"
                          "  UZI$JMENO varchar(40),\n"
                          "  UZI$EMAIL varchar(40),\n"
                          "  UZI$PRAVO char(1) not null,\n"
                          "  UZI$POZN varchar(160))");
}
