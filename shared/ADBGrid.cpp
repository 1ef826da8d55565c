#include "ADBGrid.h"

#include "DataSetModel.h"
#include "DataSource.h"
#include "base/Exceptions.h"
#include "base/Win1250.h"
#include "db/DataSet.h"
#include "db/Field.h"
#include "ui/Drawing.h"
#include "ui/ErrorBoundary.h"
#include "ui/Form.h"
#include "ui/Keys.h"
#include "ui/MessageBox.h"
#include "ui/SystemColors.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>

#include <algorithm>
#include <exception>

namespace {

constexpr int kIndicatorWidth = 11;
constexpr int kMinColumnWidth = 22;
const QString kOrderBy = QStringLiteral("ORDER BY ");

// Windows' MulDiv: the product divided with rounding to the nearest, halves
// away from zero.
int MulDiv(int number, int numerator, int denominator)
{
    const qint64 product = qint64(number) * numerator;
    const qint64 half = denominator / 2;
    return int((product + (product >= 0 ? half : -half)) / denominator);
}

// The character's byte in the code page; -1 for one that has none.
int win1250Code(QChar character)
{
    try {
        return quint8(platform::toWin1250(QString(character)).at(0));
    } catch (const EConvertError &) {
        return -1;
    }
}

// The title row: as tall as the grid gives it, whatever the style would ask.
class GridTitles : public QHeaderView {
public:
    explicit GridTitles(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}
    int height = 0;

    QSize sizeHint() const override
    {
        QSize hint = QHeaderView::sizeHint();
        if (height > 0)
            hint.setHeight(height);
        return hint;
    }
};

// One step forward; from the last record to the first.
void nextWrapping(platform::DataSet *dataSet)
{
    dataSet->next();
    if (dataSet->eof())
        dataSet->first();
}

} // namespace

// ---- TColumn

QString TColumn::FieldName() const
{
    return FGrid->FModel->fieldName(FIndex);
}

platform::Field *TColumn::Field() const
{
    return FGrid->FModel->field(FIndex);
}

int TColumn::Width() const
{
    return FGrid->horizontalHeader()->sectionSize(FIndex);
}

void TColumn::SetWidth(int value)
{
    FGrid->horizontalHeader()->resizeSection(FIndex, value);
}

QString TColumn::TitleCaption() const
{
    return FGrid->FModel->headerData(FIndex, Qt::Horizontal).toString();
}

void TColumn::SetTitleCaption(const QString &value)
{
    FGrid->FModel->setHeaderData(FIndex, Qt::Horizontal, value, Qt::DisplayRole);
}

QColor TColumn::TitleFontColor() const
{
    const QVariant brush = FGrid->FModel->headerData(FIndex, Qt::Horizontal, Qt::ForegroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

void TColumn::SetTitleFontColor(const QColor &value)
{
    FGrid->FModel->setHeaderData(FIndex, Qt::Horizontal, value, Qt::ForegroundRole);
}

// ---- TADBGrid: construction and settings

TADBGrid::TADBGrid(QWidget *owner) : QTableView(owner), FModel(new DataSetModel(this))
{
    setHorizontalHeader(new GridTitles(this));
    setModel(FModel);
    // Read-only: the grid shows and chooses records, it never edits them.
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kIndicatorWidth);

    SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgRowSelect | dgAlwaysShowSelection |
               dgConfirmDelete | dgCancelOnExit);

    connect(titles, &QHeaderView::sectionClicked, this,
            platform::guarded([this](int index) { TitleClick(Columns(index)); }));
    connect(this, &QAbstractItemView::clicked, this,
            platform::guarded([this](const QModelIndex &index) { CellClick(Columns(index.column())); }));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            platform::guarded(this, &TADBGrid::RecordSelected));
    connect(FModel, &DataSetModel::currentRecordChanged, this, platform::guarded(this, &TADBGrid::ShowRecord));

    SetColumnsResize(true);
    SetColumnsSort(true);
    SetHotFind(true);
    SetFind(true);
    SetColorFocus(false);
    FFocusedColor = platform::clWindow;
    FUnfocusedColor = platform::clBtnFace;
}

TADBGrid::~TADBGrid() = default;

void TADBGrid::SetDataSource(TDataSource *value)
{
    if (FDataSource == value)
        return;
    if (FDataSource)
        FDataSource->disconnect(this);
    FDataSource = value;
    FModel->setDataSet(value ? value->DataSet() : nullptr);
    if (value)
        connect(value, &TDataSource::dataSetChanged, this,
                platform::guarded([this] { FModel->setDataSet(FDataSource->DataSet()); }));
}

TColumn *TADBGrid::AddColumn(const QString &fieldName, int width)
{
    const int index = FModel->addColumn(fieldName);
    FColumns.push_back(std::unique_ptr<TColumn>(new TColumn(this, index)));
    FColumns.back()->SetWidth(width);
    return FColumns.back().get();
}

TColumn *TADBGrid::Columns(int index) const
{
    return index >= 0 && index < ColumnCount() ? FColumns[size_t(index)].get() : nullptr;
}

void TADBGrid::SetOptions(TDBGridOptions value)
{
    FOptions = value;
    horizontalHeader()->setVisible(value.testFlag(dgTitles));
    verticalHeader()->setVisible(value.testFlag(dgIndicator));
    horizontalHeader()->setSectionResizeMode(value.testFlag(dgColumnResize) ? QHeaderView::Interactive
                                                                            : QHeaderView::Fixed);
    setShowGrid(value & (dgColLines | dgRowLines));
    setSelectionBehavior(value.testFlag(dgRowSelect) ? SelectRows : SelectItems);
    setTabKeyNavigation(value.testFlag(dgTabs));
    FitRowHeights();
    // The selection keeps its active colours while another control has the focus.
    QPalette colours = palette();
    const QPalette::ColorGroup source = value.testFlag(dgAlwaysShowSelection) ? QPalette::Active : QPalette::Inactive;
    const QPalette defaults = QApplication::palette(this);
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, defaults.color(source, role));
    setPalette(colours);
}

void TADBGrid::FitRowHeights()
{
    // The Windows grid's rows: the text height and a small margin, and the
    // line below the row when row lines are drawn; the title row a pixel more.
    const int line = FOptions.testFlag(dgRowLines) ? 1 : 0;
    const int textHeight = platform::windowsTextHeight(font());
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(textHeight + 3 + line);
    static_cast<GridTitles *>(horizontalHeader())->height = textHeight + 4 + line;
    horizontalHeader()->updateGeometry();
    updateGeometries();
}

int TADBGrid::ClientWidth() const
{
    return viewport()->width() + (verticalHeader()->isHidden() ? 0 : verticalHeader()->width());
}

void TADBGrid::EndUpdate()
{
    if (FUpdateLock > 0)
        --FUpdateLock;
}

void TADBGrid::SetColumnsResize(bool value)
{
    if (value == FColumnsResize || UpdateLocked())
        return;
    FColumnsResize = value;
    if (value)
        FitColumns();
}

void TADBGrid::SetColumnsSort(bool value)
{
    FColumnsSort = value;
}

void TADBGrid::SetHotFind(bool value)
{
    FHotFind = value;
}

void TADBGrid::SetFind(bool value)
{
    FFind = value;
}

// At run time the colour changes only with the focus.
void TADBGrid::SetColorFocus(bool value)
{
    FColorFocus = value;
}

void TADBGrid::SetSearchText(const QString &value)
{
    FSearchText = value;
}

void TADBGrid::SetSearchField(const QString &value)
{
    FSearchField = value;
}

void TADBGrid::SetSearchOrigin(const QString &value)
{
    FSearchOrigin = value;
}

platform::DataSet *TADBGrid::OpenDataSet() const
{
    platform::DataSet *dataSet = FDataSource ? FDataSource->DataSet() : nullptr;
    return dataSet && dataSet->active() ? dataSet : nullptr;
}

// ---- Keeping grid and data set in step

void TADBGrid::ShowRecord(int row)
{
    if (row < 0 || ColumnCount() == 0)
        return;
    QScopedValueRollback<bool> showing(FShowingRecord, true);
    setCurrentIndex(FModel->index(row, std::max(currentIndex().column(), 0)));
}

void TADBGrid::RecordSelected(const QModelIndex &current)
{
    if (FShowingRecord || !current.isValid())
        return;
    if (platform::DataSet *dataSet = OpenDataSet())
        dataSet->setRecNo(current.row() + 1);
}

// ---- Window messages

void TADBGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitRowHeights();
}

void TADBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    FitColumns();
}

void TADBGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    if (FColorFocus)
        platform::setControlColor(this, FFocusedColor);
}

void TADBGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    if (FColorFocus)
        platform::setControlColor(this, FUnfocusedColor);
    RestoreSavedTitle();
}

void TADBGrid::keyPressEvent(QKeyEvent *event)
{
    QTableView::keyPressEvent(event);
    const int pressed = platform::virtualKey(*event);
    int key = pressed;
    platform::runGuarded([&] { KeyDown(key, event->modifiers()); });
    if (pressed != 0 && key == 0)
        event->accept();
    // Alt with a letter is a menu or mnemonic key, not typed text.
    const Qt::KeyboardModifiers altOnly = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier);
    if (altOnly == Qt::AltModifier)
        return;
    const QString typed = event->text();
    for (QChar character : typed)
        KeyPress(character);
}

void TADBGrid::keyboardSearch(const QString &search)
{
    Q_UNUSED(search);
}

QModelIndex TADBGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // With whole rows selected, Home and End go to the first and last record.
    if (FOptions.testFlag(dgRowSelect) && (cursorAction == MoveHome || cursorAction == MoveEnd))
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

// ---- Column fitting

void TADBGrid::FitColumns()
{
    if (UpdateLocked() || !FColumnsResize)
        return;
    const int count = ColumnCount();
    std::vector<int> widths;
    int total = 0;
    for (const auto &column : FColumns) {
        widths.push_back(column->Width());
        total += widths.back();
    }
    // Widths summing to nothing give no proportions to keep.
    if (total == 0)
        return;
    int available = ClientWidth() - count + 1;
    if (FOptions.testFlag(dgIndicator))
        available -= kIndicatorWidth;
    for (int i = 0; i < count; ++i) {
        const int width = int(double(widths[size_t(i)]) / total * available);
        FColumns[size_t(i)]->SetWidth(std::max(width, kMinColumnWidth));
    }
}

// ---- Titles, sorting and the search column

void TADBGrid::RestoreSavedTitle()
{
    if (FSearchField.isEmpty() || FSavedTitleCaption.isEmpty())
        return;
    if (TColumn *column = Columns(FSearchColumnIndex))
        column->SetTitleCaption(FSavedTitleCaption);
}

void TADBGrid::ShowTypedTextInTitle()
{
    if (TColumn *column = Columns(FSearchColumnIndex))
        column->SetTitleCaption(FTypedText.isEmpty() ? FSavedTitleCaption : FTypedText);
}

void TADBGrid::ChooseSearchColumn(TColumn *column)
{
    const platform::Field *field = column->Field();
    SetSearchField(field->fieldName());
    SetSearchOrigin(field->origin());
}

void TADBGrid::TitleClick(TColumn *column)
{
    emit OnTitleClick(column);
    // A column naming no field of the data set has nothing to sort or search by.
    if (!OpenDataSet() || !column || !column->Field())
        return;
    if (FColumnsSort) {
        SortByColumn(column);
    } else if (FHotFind) {
        RestoreSavedTitle();
        ChooseSearchColumn(column);
        TakeSearchTitle(column);
    } else if (FFind) {
        ChooseSearchColumn(column);
    }
}

void TADBGrid::MarkSortColumn(TColumn *column)
{
    if (FColumns.empty() || !column)
        return;
    for (const auto &each : FColumns)
        each->SetTitleFontColor(platform::clWindowText);
    column->SetTitleFontColor(platform::clBlue);
    TakeSearchTitle(column);
}

void TADBGrid::TakeSearchTitle(TColumn *column)
{
    FTypedText.clear();
    FSavedTitleCaption = column->TitleCaption();
    FSearchColumnIndex = quint16(column->Index());
}

void TADBGrid::RewriteOrderLines(platform::DataSet *dataSet, const QString &sortKey)
{
    const QString upperKey = platform::upperLocale(sortKey);
    const int count = dataSet->selectLineCount();
    bool hasOrderLine = false;
    for (int i = 0; i < count; ++i) {
        const QString line = dataSet->selectLine(i);
        if (platform::upperLocale(line.left(kOrderBy.size())) != kOrderBy)
            continue;
        hasOrderLine = true;
        const int comma = line.indexOf(QLatin1Char(','));
        const int keyEnd = comma >= 0 ? comma : int(line.size());
        const QString firstKey = line.mid(kOrderBy.size(), keyEnd - kOrderBy.size());
        if (firstKey == sortKey)
            return;
        // Always ascending; the previous first key becomes the second, further keys go.
        dataSet->setSelectLine(i, kOrderBy + upperKey + QLatin1Char(',') + platform::upperLocale(firstKey));
    }
    if (!hasOrderLine)
        dataSet->addSelectLine(kOrderBy + upperKey);
}

bool TADBGrid::SortByColumn(TColumn *column)
{
    platform::DataSet *dataSet = OpenDataSet();
    if (!dataSet || !column || column->Index() == -1 || column->FieldName().isEmpty())
        return false;
    const platform::Field *field = column->Field();
    if (!field)
        return false;
    const QString sortKey = field->origin().trimmed().isEmpty() ? field->fieldName() : field->origin();
    const int index = column->Index();

    QString previousText;
    std::exception_ptr rewriteFailure;
    try {
        previousText = dataSet->selectText();
        dataSet->close();
        RewriteOrderLines(dataSet, sortKey);
    } catch (const Exception &) {
        rewriteFailure = std::current_exception();
        platform::messageBox(QStringLiteral("Chyba v třídění!"), QStringLiteral("Chyba"), platform::MB_ICONWARNING);
    }

    bool sorted = false;
    try {
        if (!dataSet->active())
            dataSet->open();
        FitColumns();
        TColumn *sortedColumn = Columns(index);
        RestoreSavedTitle();
        MarkSortColumn(sortedColumn);
        SetSearchField(sortedColumn->FieldName());
        SetSearchOrigin(sortedColumn->Field()->origin());
        SetSearchText(QString());
        sorted = true;
    } catch (const Exception &) {
        // A text the server refuses is undone without a message.
        dataSet->close();
        dataSet->setSelectText(previousText);
        dataSet->open();
        FitColumns();
    }
    if (rewriteFailure)
        std::rethrow_exception(rewriteFailure);
    return sorted;
}

// ---- Search keys

void TADBGrid::CellClick(TColumn *column)
{
    emit OnCellClick(column);
    RestoreSavedTitle();
    FTypedText.clear();
}

void TADBGrid::KeyDown(int &key, Qt::KeyboardModifiers shift)
{
    if (key == platform::VK_F3) {
        const Qt::KeyboardModifiers held = shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        FRepeatRequest = held == Qt::ControlModifier;
        FindNext();
        if (held == Qt::ControlModifier)
            key = 0;
    }
    if ((key >= platform::VK_PRIOR && key <= platform::VK_DOWN) || key == platform::VK_RETURN) {
        FTypedText.clear();
        RestoreSavedTitle();
    }
}

void TADBGrid::KeyPress(QChar &key)
{
    if (key.unicode() == platform::VK_RETURN) {
        FTypedText.clear();
        RestoreSavedTitle();
    } else if (FHotFind) {
        HotFindKey(key);
    }
    // The base grid's own key press has nothing to do in a read-only grid.
}

void TADBGrid::LocateSearchText(platform::DataSet *dataSet, const QString &text)
{
    dataSet->locate(FSearchField, text, platform::LocateOption::CaseInsensitive | platform::LocateOption::PartialKey);
}

bool TADBGrid::HotFindKey(QChar key)
{
    platform::DataSet *dataSet = OpenDataSet();
    if (!FHotFind || !dataSet || FSearchField.isEmpty())
        return false;
    QString typed = FTypedText;
    const int code = win1250Code(key);
    if (code < 0)
        return false;
    if (code == platform::VK_BACK) {
        if (typed.isEmpty())
            return false;
        typed.chop(1);
        FTypedText = typed;
        ShowTypedTextInTitle();
        LocateSearchText(dataSet, typed);
        return true;
    }
    if (code >= 32 && code <= 253) {
        const bool digit = key >= QLatin1Char('0') && key <= QLatin1Char('9');
        if (!digit && !platform::isTextType(dataSet->fieldByName(FSearchField)->dataType()))
            return false;
        typed += key;
        LocateSearchText(dataSet, typed);
        FTypedText = typed;
    }
    ShowTypedTextInTitle();
    return true;
}

// ---- Dialog and repeated search

void TADBGrid::FindNext()
{
    platform::DataSet *dataSet = OpenDataSet();
    if (!dataSet)
        return;
    if (FSearchField.isEmpty()) {
        platform::messageBox(QStringLiteral("Není nastaven sloupec pro třídění!"), QStringLiteral("Upozornění"),
                             platform::MB_ICONWARNING);
        return;
    }
    bool fullText = FHotFind;
    if (!FRepeatRequest || FSearchText.isEmpty()) {
        QString text = FSearchText;
        if (!AskSearchText(text, fullText))
            return;
        SetSearchText(text);
    }
    FRepeatRequest = false;
    StripLeadingZeros(dataSet);
    if (fullText)
        ScanFullText(dataSet);
    else
        LocateSearchText(dataSet, FSearchText);
}

void TADBGrid::StripLeadingZeros(platform::DataSet *dataSet)
{
    try {
        if (!platform::isIntegerType(dataSet->fieldByName(FSearchField)->dataType()))
            return;
    } catch (const Exception &) {
        return; // the search goes on with the text as it is
    }
    QString text = FSearchText;
    while (text.size() >= 2 && text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    SetSearchText(text);
}

void TADBGrid::ScanFullText(platform::DataSet *dataSet)
{
    const int start = dataSet->recNo();
    nextWrapping(dataSet);
    dataSet->disableControls();
    const auto resume = qScopeGuard([dataSet] { dataSet->enableControls(); });
    const QString wanted = platform::upperLocale(FSearchText);
    const platform::Field *field = dataSet->fieldByName(FSearchField);
    // An empty text occurs nowhere: the scan comes back to where it started.
    while (dataSet->recNo() != start) {
        if (!wanted.isEmpty() && platform::upperLocale(field->asString()).contains(wanted))
            break;
        nextWrapping(dataSet);
    }
}

bool TADBGrid::AskSearchText(QString &text, bool &fullText)
{
    fullText = FFullTextChoice;
    const bool confirmed = SearchDialog(QStringLiteral("Hledání"), QStringLiteral("Hledaný text:"), text, fullText);
    FFullTextChoice = fullText;
    return confirmed;
}

QSize TADBGrid::AverageCharWidth(const QFont &font)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(letters) / 52, platform::windowsTextHeight(font)};
}

bool TADBGrid::SearchDialog(const QString &caption, const QString &prompt, QString &text, bool &fullText)
{
    platform::Form dialog;
    dialog.setBorderStyle(platform::BorderStyle::Dialog);
    dialog.setWindowTitle(caption);
    const QSize units = AverageCharWidth(dialog.font());
    const auto across = [&units](int n) { return MulDiv(n, units.width(), 4); };
    const auto down = [&units](int n) { return MulDiv(n, units.height(), 8); };

    auto *label = new QLabel(prompt, &dialog);
    label->setWordWrap(true);
    const int labelWidth = std::min(label->sizeHint().width(), across(164));
    label->setGeometry(across(8), down(8), labelWidth, label->heightForWidth(labelWidth));

    auto *edit = new QLineEdit(text, &dialog);
    edit->setMaxLength(255);
    edit->selectAll();
    edit->setGeometry(label->x(), label->y() + label->height() + 5, across(164), edit->sizeHint().height());

    auto *fullTextBox = new QCheckBox(QStringLiteral("&Fulltextové vyhledávání (Alt + F)"), &dialog);
    fullTextBox->setChecked(fullText);
    fullTextBox->setGeometry(label->x() + label->width() + 15, down(8), across(164), fullTextBox->sizeHint().height());

    auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setGeometry(across(38), edit->y() + edit->height() + 15, across(50), down(14));
    dialog.setButtonModalResult(ok, platform::mrOk);
    dialog.setDefaultButton(ok);

    auto *cancel = new QPushButton(QStringLiteral("Storno"), &dialog);
    cancel->setGeometry(across(92), ok->y(), across(50), down(14));
    dialog.setButtonModalResult(cancel, platform::mrCancel);
    dialog.setCancelButton(cancel);

    dialog.setClientSize(across(180), cancel->y() + cancel->height() + 13);
    edit->setFocus();
    if (dialog.showModal() != platform::mrOk)
        return false;
    text = edit->text();
    fullText = fullTextBox->isChecked();
    return true;
}
