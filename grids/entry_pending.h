#pragma once
// What the grid controls need of the entry-control foundations (exceptions and command codes),
// kept here under its own namespace until the entry library offers it; then this file goes.
#include <stdexcept>
#include <string>

namespace korval::entry_pending {

class EOvcException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EVirtualListBoxError : public EOvcException {
public:
    using EOvcException::EOvcException;
};
class EOnSelectNotAssigned : public EVirtualListBoxError {
public:
    EOnSelectNotAssigned() : EVirtualListBoxError("OnSelect event is not assigned") {}
};
class EOnIsSelectedNotAssigned : public EVirtualListBoxError {
public:
    EOnIsSelectedNotAssigned() : EVirtualListBoxError("OnIsSelected event is not assigned") {}
};
class ENotebookError : public EOvcException {
public:
    using EOvcException::EOvcException;
};
class EInvalidPageIndex : public ENotebookError {
public:
    EInvalidPageIndex() : ENotebookError("Invalid page index value") {}
};
class EInvalidTabFont : public ENotebookError {
public:
    EInvalidTabFont() : ENotebookError("Invalid font. Non toTop oriented tabs require a True-Type font") {}
};

// Editing command codes of the key-to-command tables.
enum : int {
    ccNone = 0, ccDown = 15, ccEnd = 16, ccExtendDown = 17, ccExtendEnd = 18, ccExtendHome = 19,
    ccExtendPgDn = 21, ccExtendPgUp = 22, ccExtendUp = 24, ccHome = 42, ccLeft = 46, ccNextPage = 48,
    ccPrevPage = 52, ccRight = 55, ccUp = 73, ccUser0 = 256,
};

} // namespace korval::entry_pending
