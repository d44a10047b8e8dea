#pragma once
// The heading cells: column letters or headings for the locked rows, row numbers for the locked
// columns, each with an optional marker beside the active column or row.
#include <string>
#include <vector>

#include "grids/windows/ovc_base_table_cell.h"

namespace korval {

// What both headings share: read-only cells that paint their text and, with the active marker
// on, a marker beside the heading of the table's active column or row.
class TOvcTCHeading : public TOvcTCBaseString {
    Q_OBJECT
public:
    explicit TOvcTCHeading(QObject* owner);

    void tcPaint(QPainter& p, const QRect& cellRect, int rowNum, int colNum, const TOvcCellAttributes& cellAttr,
                 const TOvcCellData& data) override;

protected:
    // True for the heading of the table's active column or row.
    virtual bool IsActiveHeading(const TOvcTable& table, int rowNum, int colNum) const = 0;

    bool showActive_ = false;
};

class TOvcTCColHead : public TOvcTCHeading {
    Q_OBJECT
public:
    explicit TOvcTCColHead(QObject* owner = nullptr);
    // One heading per column, shown when ShowLetters is off and the window gives no value.
    std::vector<std::string> Headings;
    bool ShowActiveCol() const { return showActive_; }
    void SetShowActiveCol(bool v) { showActive_ = v; Changed(); }
    bool ShowLetters() const { return showLetters_; }
    void SetShowLetters(bool v) { showLetters_ = v; Changed(); }

    // Keeps Headings in step with inserted, deleted and exchanged columns.
    void ColumnsChanged(int colNum1, int colNum2, TOvcTblActions action);

protected:
    std::string TextOf(int rowNum, int colNum, const TOvcCellData& data) const override;
    bool IsActiveHeading(const TOvcTable& table, int rowNum, int colNum) const override;

private:
    bool showLetters_ = true;
};

class TOvcTCRowHead : public TOvcTCHeading {
    Q_OBJECT
public:
    explicit TOvcTCRowHead(QObject* owner = nullptr);
    bool ShowActiveRow() const { return showActive_; }
    void SetShowActiveRow(bool v) { showActive_ = v; Changed(); }
    bool ShowNumbers() const { return showNumbers_; }
    void SetShowNumbers(bool v) { showNumbers_ = v; Changed(); }

protected:
    std::string TextOf(int rowNum, int colNum, const TOvcCellData& data) const override;
    bool IsActiveHeading(const TOvcTable& table, int rowNum, int colNum) const override;

private:
    bool showNumbers_ = true;
};

} // namespace korval
