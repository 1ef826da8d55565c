#pragma once

// The pictures of the user list and the user editor, drawn in code.

#include <QIcon>
#include <QList>
#include <QPixmap>

// The user list's image list: 0 back, 1 new user, 2 change user, 3 delete
// user, 4 refresh the list.
QList<QIcon> UserListImages();

// The user editor's picture beside the rights.
QPixmap UserRightsPicture();
