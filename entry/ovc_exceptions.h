#pragma once
// Exceptions of the entry and grid controls. Programming errors only: the operator's input
// errors are codes passed through events, never exceptions.
#include <stdexcept>
#include <string>

namespace korval {

class EOvcException : public std::runtime_error {
public:
    explicit EOvcException(const std::string& msg) : std::runtime_error(msg) {}
};

class ENoTimersAvailable : public EOvcException {
public:
    ENoTimersAvailable();
};

class EControllerError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class ENoControllerAssigned : public EControllerError {
public:
    ENoControllerAssigned();
};

class ECmdProcessorError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class EDuplicateCommand : public ECmdProcessorError {
public:
    EDuplicateCommand();
};

class ETableNotFound : public ECmdProcessorError {
public:
    ETableNotFound();
};

class EEntryFieldError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class EInvalidDataType : public EEntryFieldError {
public:
    EInvalidDataType();
};

class EInvalidPictureMask : public EEntryFieldError {
public:
    explicit EInvalidPictureMask(const std::string& mask);
};

// Data-type codes of the entry fields, as the range messages need them.
enum TOvcDataTypeCode : int {
    fcString = 0, fcChar = 1, fcBoolean = 2, fcYesNo = 3, fcLongInt = 4, fcWord = 5, fcSmallInt = 6,
    fcByte = 7, fcShortInt = 8, fcReal = 9, fcExtended = 10, fcDouble = 11, fcSingle = 12, fcComp = 13,
    fcDate = 14, fcTime = 15,
};

class EInvalidRangeValue : public EEntryFieldError {
public:
    // The message is the range hint of the data type; Date and Time quote the current masks.
    explicit EInvalidRangeValue(int dataType);
    int DataType() const { return dataType_; }

private:
    int dataType_;
};

class ENotebookError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class EInvalidPageIndex : public ENotebookError {
public:
    EInvalidPageIndex();
};

class EInvalidTabFont : public ENotebookError {
public:
    EInvalidTabFont();
};

class EVirtualListBoxError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class EOnSelectNotAssigned : public EVirtualListBoxError {
public:
    EOnSelectNotAssigned();
};

class EOnIsSelectedNotAssigned : public EVirtualListBoxError {
public:
    EOnIsSelectedNotAssigned();
};

class ESparseArrayError : public EOvcException {
public:
    using EOvcException::EOvcException;
};

class ESAEAtMaxSize : public ESparseArrayError {
public:
    using ESparseArrayError::ESparseArrayError;
};

class ESAEOutOfBounds : public ESparseArrayError {
public:
    using ESparseArrayError::ESparseArrayError;
};

} // namespace korval
