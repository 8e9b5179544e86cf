#pragma once
// HelpWindow: the manual, read inside the program. Its pages are the HTML files of one folder
// (the manual installed with the program); the window shows one page at a time in a text
// browser, with back and forward, beside a list of the pages and their sections and a search
// that finds a text in every page, lists the places and marks them in the page shown.
//
// Keys: Ctrl+F goes to the search field, Enter there searches, F3 and Shift+F3 go to the next
// and the previous place found, Alt+Left and Alt+Right go back and forward, Escape closes the
// window.
//
// helpTopic() says which page (and place in it) explains the widget that has the focus: an
// entry field's quantity, a Problem window's section, the start, Diagram and Uncertainty
// windows' sections, the contents otherwise. F1 opens it (the program wires F1).

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;

// A place in the manual: a page ("quantities.html") and an anchor in it, or none.
struct HelpTopic {
    QString page;
    QString anchor;
    bool operator==(const HelpTopic&) const = default;
};

// The manual's place for a widget: an entry field of a Problem window is explained on
// quantities.html at the anchor "<window key>.<field key>" ("Form5.Text1", its accessible
// description); any other widget of a Problem window on audit.html at "problem<N>"; the start,
// Diagram and Uncertainty windows on audit.html at "start", "diagrams" and "uncertainty"; the
// Capability window on capability.html at "capability", its tab of the water and fan energy
// ("waterAndEnergyPart") at "water-and-energy"; anything else (or nothing) is the contents,
// index.html.
HelpTopic helpTopic(const QWidget* focus);

// The anchor of every entry field of the Problem windows, in the key table's order.
QStringList fieldAnchors();

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // folder: the manual's pages, index.html among them. missing: what the window says when
    // the folder holds no index.html.
    HelpWindow(const QString& folder, const QString& missing, QWidget* parent = nullptr);

    // Shows a page at an anchor (the top of the page without one) and brings the window to the
    // front. A page the folder does not hold shows the contents.
    void showTopic(const HelpTopic& topic);

    // One place a search found.
    struct Hit {
        QString page;   // "methods.html"
        int occurrence; // which occurrence in the page, from 0
        QString label;  // "Methods > Uncertainty: ...a text around it..."
    };
    // Searches every page for text (any case); lists the places and shows the first, marking
    // every occurrence in the page shown. An empty text clears the marks. At most kMaxHits.
    QList<Hit> search(const QString& text);
    static constexpr int kMaxHits = 500;
    // Shows the place a search found (index into the last search's hits).
    void showHit(int index);

    // The pages in the contents' order ("index.html" first) and their titles.
    QStringList pages() const { return pages_; }
    QString pageTitle(const QString& page) const;
    // The page and anchor shown.
    QUrl source() const;
    // The number of places marked in the page shown.
    int markedCount() const;
    // The texts of the place the shown anchor names (its table row's cells, "|" between them),
    // marked in the page; empty without an anchor.
    QString markedPlace() const;

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchField() const { return searchField_; }
    QTreeWidget* contents() const { return contents_; }
    QListWidget* results() const { return results_; }
    QToolButton* backButton() const { return back_; }
    QToolButton* forwardButton() const { return forward_; }

private:
    // Shows a page at an anchor in the browser.
    void navigate(const HelpTopic& topic);
    void loadPages();
    void buildContents();
    void markMatches();
    void markAnchor(const QString& anchor);
    void followHit(int delta);
    QString pageOf(const QUrl& url) const;

    QString folder_;
    QStringList pages_;
    QStringList titles_;
    QList<Hit> hits_;
    QString searched_;                             // the text of the last search
    QList<QTextEdit::ExtraSelection> anchorMarks_; // the place of the anchor shown
    QTextBrowser* browser_;
    QLineEdit* searchField_;
    QTabWidget* side_;
    QTreeWidget* contents_;
    QListWidget* results_;
    QLabel* found_;
    QToolButton* back_;
    QToolButton* forward_;
};
