#include "ui/helpwindow.h"

#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/message.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kIndex = QStringLiteral("index.html");
// The most of a page that is read: the manual's pages are a few kilobytes.
constexpr qint64 kMaxPageBytes = qint64(4) << 20;
// What every page's title ends with, left out of the contents.
const QString kTitleSuffix = QStringLiteral(" - ctaudit manual");
// The characters shown on each side of a place found.
constexpr int kContext = 30;

QString readPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(kMaxPageBytes));
}

QString qualified(std::string_view window, std::string_view key) {
    return engine::toQString(window) + QLatin1Char('.') + engine::toQString(key);
}

// The item data of a contents entry: its page and anchor.
constexpr int kPageRole = Qt::UserRole;
constexpr int kAnchorRole = Qt::UserRole + 1;

} // namespace

QStringList fieldAnchors() {
    QStringList anchors;
    for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int p = 1; p <= engine::kProblems; ++p) {
            const auto keys = engine::controlKeys(a, p);
            for (int f = 0; f < engine::kFieldCounts[p - 1]; ++f)
                anchors << qualified(engine::windowKey(a, p), keys[std::size_t(f)]);
        }
    return anchors;
}

HelpTopic helpTopic(const QWidget* focus) {
    for (const QWidget* w = focus; w; w = w->parentWidget()) {
        const QByteArray name = w->objectName().toLatin1();
        const std::string_view key(name.constData(), std::size_t(name.size()));
        if (const auto problem = engine::problemOfWindow(key)) {
            const auto keys = engine::controlKeys(problem->arrangement, problem->problem);
            const QByteArray field = focus->objectName().toLatin1();
            for (int f = 0; f < engine::kFieldCounts[problem->problem - 1]; ++f)
                if (focus != w &&
                    keys[std::size_t(f)] == std::string_view(field.constData(), field.size()))
                    return {QStringLiteral("quantities.html"),
                            qualified(key, keys[std::size_t(f)])};
            return {QStringLiteral("audit.html"),
                    QStringLiteral("problem%1").arg(problem->problem)};
        }
        if (key == engine::kStartWindowKey)
            return {QStringLiteral("audit.html"), QStringLiteral("start")};
        if (key == engine::kDiagramWindowKey)
            return {QStringLiteral("audit.html"), QStringLiteral("diagrams")};
        if (key == engine::kUncertaintyWindowKey)
            return {QStringLiteral("audit.html"), QStringLiteral("uncertainty")};
        if (key == "ReportWindow")
            return {QStringLiteral("audit.html"), QStringLiteral("report")};
        // The Capability window's tab of the water and fan energy has its own section.
        if (key == "waterAndEnergyPart")
            return {QStringLiteral("capability.html"), QStringLiteral("water-and-energy")};
        if (key == "CapabilityWindow")
            return {QStringLiteral("capability.html"), QStringLiteral("capability")};
    }
    return {kIndex, QString()};
}

HelpWindow::HelpWindow(const QString& folder, const QString& missing, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , folder_(folder) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ctaudit manual"));
    resize(960, 680);

    back_ = new QToolButton(this);
    back_->setObjectName(QStringLiteral("Back"));
    back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back_->setToolTip(QStringLiteral("Back to the page shown before (Alt+Left)"));
    back_->setEnabled(false);
    forward_ = new QToolButton(this);
    forward_->setObjectName(QStringLiteral("Forward"));
    forward_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    forward_->setToolTip(QStringLiteral("Forward again (Alt+Right)"));
    forward_->setEnabled(false);
    auto* home = new QToolButton(this);
    home->setObjectName(QStringLiteral("Contents"));
    home->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    home->setToolTip(QStringLiteral("The manual's contents"));

    searchField_ = new QLineEdit(this);
    searchField_->setObjectName(QStringLiteral("Search"));
    searchField_->setPlaceholderText(QStringLiteral("Search the manual (Ctrl+F)"));
    searchField_->setAccessibleName(QStringLiteral("Search the manual"));
    searchField_->setClearButtonEnabled(true);
    found_ = new QLabel(this);
    found_->setObjectName(QStringLiteral("Found"));

    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("ContentsList"));
    contents_->setHeaderHidden(true);
    contents_->setAccessibleName(QStringLiteral("Contents"));
    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("Results"));
    results_->setAccessibleName(QStringLiteral("Places found"));
    results_->setWordWrap(true);
    results_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    side_ = new QTabWidget(this);
    side_->addTab(contents_, QStringLiteral("Contents"));
    side_->addTab(results_, QStringLiteral("Found"));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("Page"));
    browser_->setAccessibleName(QStringLiteral("Manual page"));
    browser_->setOpenExternalLinks(true);

    auto* bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(home);
    bar->addSpacing(12);
    bar->addWidget(searchField_, 1);
    bar->addWidget(found_);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(side_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 720});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);

    const auto addKey = [this](const QKeySequence& key, auto slot) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    addKey(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        searchField_->setFocus(Qt::ShortcutFocusReason);
        searchField_->selectAll();
    });
    addKey(QKeySequence(Qt::Key_F3), [this] { followHit(1); });
    addKey(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { followHit(-1); });
    addKey(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { browser_->backward(); });
    addKey(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { browser_->forward(); });
    addKey(QKeySequence(Qt::Key_Escape), [this] { close(); });

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { showTopic({kIndex, QString()}); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    // The signal's URL: while it is emitted, the browser's source() still names the page
    // shown before.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& shown) {
        const QString title = pageTitle(pageOf(shown));
        setWindowTitle(title.isEmpty() ? QStringLiteral("ctaudit manual")
                                       : QStringLiteral("%1 - ctaudit manual").arg(title));
        anchorMarks_.clear(); // navigate() marks the place of a new anchor
        markMatches();
    });
    connect(searchField_, &QLineEdit::returnPressed, this,
            [this] { search(searchField_->text()); });
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        showTopic({item->data(0, kPageRole).toString(), item->data(0, kAnchorRole).toString()});
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        showTopic({item->data(0, kPageRole).toString(), item->data(0, kAnchorRole).toString()});
    });
    connect(results_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showHit(row);
    });

    loadPages();
    if (pages_.isEmpty()) {
        browser_->setHtml(QStringLiteral("<p>%1</p>").arg(missing.toHtmlEscaped()));
        searchField_->setEnabled(false);
        return;
    }
    browser_->setSearchPaths({folder_});
    buildContents();
    navigate({kIndex, QString()});
}

void HelpWindow::loadPages() {
    const QString index = readPage(QDir(folder_).filePath(kIndex));
    if (index.isEmpty())
        return;
    pages_ << kIndex;
    // The pages in the order the contents page links them.
    static const QRegularExpression link(QStringLiteral("href=\"([A-Za-z0-9_-]+\\.html)\""));
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QString page = it.next().captured(1);
        if (!pages_.contains(page) && QFileInfo(QDir(folder_).filePath(page)).isFile())
            pages_ << page;
    }
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    for (const QString& page : pages_) {
        QString text = title.match(readPage(QDir(folder_).filePath(page))).captured(1).trimmed();
        if (text.endsWith(kTitleSuffix))
            text.chop(kTitleSuffix.size());
        titles_ << (text.isEmpty() ? page : text);
    }
}

void HelpWindow::buildContents() {
    for (int p = 0; p < pages_.size(); ++p) {
        auto* item = new QTreeWidgetItem(contents_, {titles_[p]});
        item->setData(0, kPageRole, pages_[p]);
        QTextDocument document;
        document.setHtml(readPage(QDir(folder_).filePath(pages_[p])));
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() != 2)
                continue;
            QString anchor;
            for (auto it = block.begin(); !it.atEnd() && anchor.isEmpty(); ++it)
                anchor = it.fragment().charFormat().anchorNames().value(0);
            auto* section = new QTreeWidgetItem(item, {block.text().trimmed()});
            section->setData(0, kPageRole, pages_[p]);
            section->setData(0, kAnchorRole, anchor);
        }
    }
    contents_->expandAll();
}

QString HelpWindow::pageTitle(const QString& page) const {
    const qsizetype i = pages_.indexOf(page);
    return i < 0 ? QString() : titles_[i];
}

QString HelpWindow::pageOf(const QUrl& url) const {
    return QFileInfo(url.path()).fileName();
}

QUrl HelpWindow::source() const {
    return browser_->source();
}

void HelpWindow::showTopic(const HelpTopic& topic) {
    navigate(topic);
    show();
    raise();
    activateWindow();
}

void HelpWindow::navigate(const HelpTopic& topic) {
    if (!pages_.isEmpty()) {
        const QString page = pages_.contains(topic.page) ? topic.page : kIndex;
        QUrl url = QUrl::fromLocalFile(QDir(folder_).absoluteFilePath(page));
        if (page == topic.page && !topic.anchor.isEmpty())
            url.setFragment(topic.anchor);
        if (url != browser_->source())
            browser_->setSource(url);
        else if (!topic.anchor.isEmpty())
            browser_->scrollToAnchor(topic.anchor);
        markAnchor(page == topic.page ? topic.anchor : QString());
    }
}

void HelpWindow::markAnchor(const QString& anchor) {
    // The place an anchor names: the row of its table (each cell), or its paragraph.
    anchorMarks_.clear();
    QTextDocument* document = browser_->document();
    for (QTextBlock block = document->begin(); block.isValid() && !anchor.isEmpty();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().anchorNames().contains(anchor))
                continue;
            QTextCursor at(document);
            at.setPosition(it.fragment().position());
            QTextCharFormat marked;
            marked.setBackground(QColor(215, 232, 250));
            if (QTextTable* table = at.currentTable()) {
                const int row = table->cellAt(at).row();
                for (int column = 0; column < table->columns(); ++column) {
                    const QTextTableCell cell = table->cellAt(row, column);
                    QTextCursor content = cell.firstCursorPosition();
                    content.setPosition(cell.lastCursorPosition().position(),
                                        QTextCursor::KeepAnchor);
                    anchorMarks_.append({content, marked});
                }
            } else {
                QTextCursor line(block);
                line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
                anchorMarks_.append({line, marked});
            }
            markMatches();
            return;
        }
    }
    markMatches();
}

QList<HelpWindow::Hit> HelpWindow::search(const QString& text) {
    hits_.clear();
    searched_ = text.trimmed();
    results_->clear();
    if (!searched_.isEmpty()) {
        for (int p = 0; p < pages_.size() && hits_.size() < kMaxHits; ++p) {
            QTextDocument document;
            document.setHtml(readPage(QDir(folder_).filePath(pages_[p])));
            const QString plain = document.toPlainText();
            // The heading above each place: the blocks are walked once, along with the places.
            QString section;
            QTextBlock heading = document.begin();
            QTextCursor at(&document);
            for (int n = 0; hits_.size() < kMaxHits; ++n) {
                at = document.find(searched_, at);
                if (at.isNull())
                    break;
                for (; heading.isValid() && heading.position() <= at.selectionStart();
                     heading = heading.next())
                    if (heading.blockFormat().headingLevel() > 0)
                        section = heading.text().trimmed();
                const int start = std::max(0, at.selectionStart() - kContext);
                const int end = std::min<int>(plain.size(), at.selectionEnd() + kContext);
                QString around = plain.mid(start, end - start).simplified();
                if (start > 0)
                    around.prepend(QChar(0x2026));
                if (end < plain.size())
                    around.append(QChar(0x2026));
                hits_.append(
                    {pages_[p], n, QStringLiteral("%1 > %2: %3").arg(titles_[p], section, around)});
            }
        }
    }
    found_->setText(searched_.isEmpty() ? QString()
                    : hits_.isEmpty()   ? QStringLiteral("not found")
                    : hits_.size() == 1 ? QStringLiteral("1 place")
                    : hits_.size() < kMaxHits
                        ? QStringLiteral("%1 places").arg(hits_.size())
                        : QStringLiteral("the first %1 places").arg(kMaxHits));
    for (const Hit& hit : hits_) {
        auto* item = new QListWidgetItem(hit.label, results_);
        item->setToolTip(hit.label);
    }
    if (!searched_.isEmpty())
        side_->setCurrentWidget(results_);
    markMatches();
    if (!hits_.isEmpty())
        results_->setCurrentRow(0); // shows it
    return hits_;
}

void HelpWindow::showHit(int index) {
    if (index < 0 || index >= hits_.size())
        return;
    const Hit& hit = hits_[index];
    if (pageOf(browser_->source()) != hit.page)
        navigate({hit.page, QString()});
    QTextCursor at(browser_->document());
    for (int n = 0; n <= hit.occurrence; ++n) {
        at = browser_->document()->find(searched_, at);
        if (at.isNull())
            return;
    }
    browser_->setTextCursor(at);
    // The place a third of the way down the page, with what leads to it above.
    QScrollBar* scroll = browser_->verticalScrollBar();
    scroll->setValue(scroll->value() + browser_->cursorRect(at).top() -
                     browser_->viewport()->height() / 3);
    if (results_->currentRow() != index)
        results_->setCurrentRow(index);
}

void HelpWindow::followHit(int delta) {
    if (hits_.isEmpty())
        return;
    const int row = results_->currentRow() < 0 ? 0 : results_->currentRow() + delta;
    showHit((row % int(hits_.size()) + int(hits_.size())) % int(hits_.size()));
}

void HelpWindow::markMatches() {
    QList<QTextEdit::ExtraSelection> marks = anchorMarks_;
    if (!searched_.isEmpty()) {
        QTextCharFormat marked;
        marked.setBackground(QColor(255, 230, 80));
        QTextCursor at(browser_->document());
        while (marks.size() < kMaxHits) {
            at = browser_->document()->find(searched_, at);
            if (at.isNull())
                break;
            marks.append({at, marked});
        }
    }
    browser_->setExtraSelections(marks);
}

int HelpWindow::markedCount() const {
    return int(browser_->extraSelections().size() - anchorMarks_.size());
}

QString HelpWindow::markedPlace() const {
    QStringList cells;
    for (const QTextEdit::ExtraSelection& mark : anchorMarks_)
        cells << mark.cursor.selectedText();
    return cells.join(QLatin1Char('|'));
}
