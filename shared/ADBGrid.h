#pragma once

// The library's data-aware grid: the records of a data set through a data
// source, one row per record and one column per field. It fits its column
// widths to its own width, sorts the data set by a column whose title is
// clicked (rewriting the ORDER BY of the select text and reopening), searches
// incrementally while the user types and through a search dialog (F3, Ctrl+F3
// repeats), and can show the keyboard focus by its background colour.

#include <QColor>
#include <QFlags>
#include <QPointer>
#include <QSize>
#include <QTableView>

#include <memory>
#include <vector>

class DataSetModel;
class TADBGrid;
class TDataSource;

namespace platform {
class DataSet;
class Field;
} // namespace platform

enum TDBGridOption {
    dgEditing = 0x1,
    dgAlwaysShowEditor = 0x2,
    dgTitles = 0x4,
    dgIndicator = 0x8,
    dgColumnResize = 0x10,
    dgColLines = 0x20,
    dgRowLines = 0x40,
    dgTabs = 0x80,
    dgRowSelect = 0x100,
    dgAlwaysShowSelection = 0x200,
    dgConfirmDelete = 0x400,
    dgCancelOnExit = 0x800,
    dgMultiSelect = 0x1000,
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)

// One column of the grid: a handle on the grid's model and title row.
class TColumn {
public:
    int Index() const { return FIndex; }
    QString FieldName() const;
    // The data set's field of that name; nullptr when there is none.
    platform::Field *Field() const;
    int Width() const;
    void SetWidth(int value);
    QString TitleCaption() const;
    void SetTitleCaption(const QString &value);
    // Invalid until set: the title is then drawn in the style's colour.
    QColor TitleFontColor() const;
    void SetTitleFontColor(const QColor &value);

private:
    friend class TADBGrid;
    TColumn(TADBGrid *grid, int index) : FGrid(grid), FIndex(index) {}
    TADBGrid *FGrid;
    int FIndex;
};

class TADBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TADBGrid(QWidget *owner = nullptr);
    ~TADBGrid() override;

    TDataSource *DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource *value);

    // The columns collection, in the order the form defines it.
    TColumn *AddColumn(const QString &fieldName, int width);
    int ColumnCount() const { return int(FColumns.size()); }
    // nullptr outside 0 .. ColumnCount() - 1.
    TColumn *Columns(int index) const;

    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions value);

    // Row and title heights for the grid's font, as the Windows grid sets them.
    void FitRowHeights();

    // The width inside the border and the vertical scroll bar, the indicator
    // column included when it is shown.
    int ClientWidth() const;

    // The update lock: while held, FitColumns and turning ColumnsResize on do nothing.
    void BeginUpdate() { ++FUpdateLock; }
    void EndUpdate();
    bool UpdateLocked() const { return FUpdateLock > 0; }

    bool ColumnsResize() const { return FColumnsResize; }
    void SetColumnsResize(bool value);
    bool ColumnsSort() const { return FColumnsSort; }
    void SetColumnsSort(bool value);
    bool HotFind() const { return FHotFind; }
    void SetHotFind(bool value);
    bool Find() const { return FFind; }
    void SetFind(bool value);
    bool ColorFocus() const { return FColorFocus; }
    void SetColorFocus(bool value);
    QColor FocusedColor() const { return FFocusedColor; }
    QColor UnfocusedColor() const { return FUnfocusedColor; }

    QString TypedText() const { return FTypedText; }
    bool FullTextChoice() const { return FFullTextChoice; }
    QString SearchText() const { return FSearchText; }
    void SetSearchText(const QString &value);
    QString SearchField() const { return FSearchField; }
    void SetSearchField(const QString &value);
    QString SearchOrigin() const { return FSearchOrigin; }
    void SetSearchOrigin(const QString &value);
    int SearchColumnIndex() const { return FSearchColumnIndex; }

    // Fits the column widths to the client width, keeping their proportions.
    void FitColumns();
    // Marks the column the data set is sorted by and makes it the search column.
    void MarkSortColumn(TColumn *column);
    // Sorts the data set by the column; true when it reopened the data set
    // and marked the column.
    bool SortByColumn(TColumn *column);

    void TitleClick(TColumn *column);
    void CellClick(TColumn *column);
    // key is the Windows virtual key; the grid sets it to 0 when it consumed it.
    void KeyDown(int &key, Qt::KeyboardModifiers shift);
    void KeyPress(QChar &key);
    // Extends or shortens the typed text and locates it; false when the
    // character was ignored.
    bool HotFindKey(QChar key);
    // The dialog search (F3) and the repeated search (Ctrl+F3).
    void FindNext();
    // Runs the search dialog with the full-text choice; true when confirmed.
    bool AskSearchText(QString &text, bool &fullText);
    // Builds and runs the search dialog; true when it was confirmed.
    static bool SearchDialog(const QString &caption, const QString &prompt, QString &text, bool &fullText);
    // The average width of a letter (width) and the Windows text height (height).
    static QSize AverageCharWidth(const QFont &font);

signals:
    // The base grid's events, before the grid's own handling.
    void OnTitleClick(TColumn *column);
    void OnCellClick(TColumn *column);

protected:
    void changeEvent(QEvent *event) override;
    // WM_SIZE: the viewport's new size.
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Typing searches through HotFindKey, never by the view's own search.
    void keyboardSearch(const QString &search) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    friend class TColumn;
    void RestoreSavedTitle();
    void ShowTypedTextInTitle();
    void ChooseSearchColumn(TColumn *column);
    // Makes the column the one whose title shows the typed text, which starts afresh.
    void TakeSearchTitle(TColumn *column);
    void RewriteOrderLines(platform::DataSet *dataSet, const QString &sortKey);
    void LocateSearchText(platform::DataSet *dataSet, const QString &text);
    void ScanFullText(platform::DataSet *dataSet);
    void StripLeadingZeros(platform::DataSet *dataSet);
    // The data set of the data source when it is open, else nullptr.
    platform::DataSet *OpenDataSet() const;
    void ShowRecord(int row);
    void RecordSelected(const QModelIndex &current);

    DataSetModel *FModel;
    QPointer<TDataSource> FDataSource;
    std::vector<std::unique_ptr<TColumn>> FColumns;
    TDBGridOptions FOptions;
    int FUpdateLock = 0;
    bool FShowingRecord = false;

    bool FColumnsResize = false;
    bool FColumnsSort = false;
    bool FHotFind = false;
    QString FTypedText;
    bool FFullTextChoice = false;
    bool FRepeatRequest = false;
    bool FFind = false;
    QString FSearchText;
    QString FSearchField;
    QString FSearchOrigin;
    QString FSavedTitleCaption;
    quint16 FSearchColumnIndex = 0;
    bool FColorFocus = false;
    QColor FFocusedColor;
    QColor FUnfocusedColor;
};
