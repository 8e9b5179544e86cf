#include "app/windows.h"

#include "app/windowsreportsource.h"
#include "diagrams/auditdiagramsource.h"
#include "reports/excelreport.h"
#include "ui/diagramwindow.h"
#include "ui/form1.h"
#include "ui/form10.h"
#include "ui/form11.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/form8.h"
#include "ui/form9.h"
#include "ui/frmmain.h"
#include "ui/problemwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <initializer_list>
#include <type_traits>

Windows::Windows(Desktop& desktop)
    : desktop_(desktop) {
    // The program's icon, for the main window and every child window.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ctaudit.svg")));
    main_ = new FrmMain(desktop_);
    main_->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(main_->mdiArea(), &QMdiArea::subWindowActivated, this, &Windows::onSubWindowActivated);
    reportSource_ = std::make_unique<WindowsReportSource>(*this);
    report_ = std::make_unique<ExcelReport>(*reportSource_, &desktop_, main_);
    main_->excelReport = [this] { report_->run(); };
    main_->showUncertainty = [this] {
        showChild(uncertainty());
        uncertainty()->follow();
    };
    main_->showDiagram = [this] { showChild(diagramWindow()); };
    main_->showStart = [this] { showStart(); };
    main_->unloadWindows = [this] {
        for (const char* name : {"Form10", "Form11", "Form2", "Form3", "Form4", "Form5", "Form6",
                                 "Form8", "Form9", "Uncertainty"})
            unload(QString::fromLatin1(name));
    };
    // The Diagram window follows every successful calculation.
    diagramSource_ = std::make_unique<AuditDiagramSource>(audit_);
    audit_.setCalculationListener([this](Arrangement arrangement, int problem) {
        if (diagram_)
            diagram_->calculated(arrangement, problem);
    });
}

Windows::~Windows() {
    audit_.setCalculationListener({});
    main_->excelReport = nullptr;
    report_.reset();
    delete form11_;
    delete main_;
}

template <class W> W* Windows::ensure(QPointer<W>& slot) {
    if (!slot) {
        slot = new W(*this);
        QMdiSubWindow* sub = main_->mdiArea()->addSubWindow(slot);
        // The close box hides the window: it stays loaded, with its inputs and results, until
        // "Exit" unloads it.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->installEventFilter(this);
        sub->setWindowIcon(QApplication::windowIcon());
        sub->hide();
        if constexpr (std::is_base_of_v<ProblemWindow, W>)
            slot->pullTexts();
        Q_EMIT loaded(slot);
    }
    return slot;
}

Form1* Windows::form1() {
    return ensure(form1_);
}

Form5* Windows::form5() {
    return ensure(form5_);
}

Form2* Windows::form2() {
    return ensure(form2_);
}

Form10* Windows::form10() {
    return ensure(form10_);
}

Form3* Windows::form3() {
    return ensure(form3_);
}

Form8* Windows::form8() {
    return ensure(form8_);
}

Form6* Windows::form6() {
    return ensure(form6_);
}

Form9* Windows::form9() {
    return ensure(form9_);
}

Form4* Windows::form4() {
    return ensure(form4_);
}

Form11* Windows::form11() {
    if (!form11_)
        form11_ = new Form11(nullptr, &audit_.moistAir());
    return form11_;
}

UncertaintyWindow* Windows::uncertainty() {
    return ensure(uncertainty_);
}

DiagramWindow* Windows::diagramWindow() {
    const bool created = !diagram_;
    DiagramWindow* w = ensure(diagram_);
    if (created) {
        w->setSource(diagramSource_.get());
        if (lastProblem_)
            w->problemActivated(lastProblem_->first, lastProblem_->second);
    }
    return w;
}

QWidget* Windows::form(const QString& name) {
    if (name == QLatin1String("frmMain"))
        return main_;
    if (name == QLatin1String("Form1"))
        return form1();
    if (name == QLatin1String("Form5"))
        return form5();
    if (name == QLatin1String("Form2"))
        return form2();
    if (name == QLatin1String("Form10"))
        return form10();
    if (name == QLatin1String("Form3"))
        return form3();
    if (name == QLatin1String("Form8"))
        return form8();
    if (name == QLatin1String("Form6"))
        return form6();
    if (name == QLatin1String("Form9"))
        return form9();
    if (name == QLatin1String("Form4"))
        return form4();
    if (name == QLatin1String("Form11"))
        return form11();
    if (name == QLatin1String("Uncertainty"))
        return uncertainty();
    if (name == QLatin1String("frmDiagram"))
        return diagramWindow();
    return nullptr;
}

bool Windows::isLoaded(const QString& name) const {
    if (name == QLatin1String("frmMain"))
        return main_ != nullptr;
    if (name == QLatin1String("Form1"))
        return form1_;
    if (name == QLatin1String("Form5"))
        return form5_;
    if (name == QLatin1String("Form2"))
        return form2_;
    if (name == QLatin1String("Form10"))
        return form10_;
    if (name == QLatin1String("Form3"))
        return form3_;
    if (name == QLatin1String("Form8"))
        return form8_;
    if (name == QLatin1String("Form6"))
        return form6_;
    if (name == QLatin1String("Form9"))
        return form9_;
    if (name == QLatin1String("Form4"))
        return form4_;
    if (name == QLatin1String("Form11"))
        return form11_;
    if (name == QLatin1String("Uncertainty"))
        return uncertainty_;
    if (name == QLatin1String("frmDiagram"))
        return diagram_;
    return false;
}

void Windows::unload(const QString& name) {
    if (!isLoaded(name) || name == QLatin1String("frmMain"))
        return;
    // A window loaded again starts as it was first loaded.
    if (const auto problem = engine::Audit::problemOf(name.toStdString()))
        audit_.reset(problem->first, problem->second);
    else if (name == QLatin1String("Form11"))
        audit_.resetMoistAir();
    QWidget* w = form(name);
    if (QMdiSubWindow* sub = subWindowOf(w)) {
        if (lastActive_ == w)
            lastActive_ = nullptr;
        main_->mdiArea()->removeSubWindow(sub);
        delete sub; // deletes the window with it
    } else {
        delete w;
    }
}

std::optional<QString> Windows::controlText(const QString& formName, const QString& control) {
    QWidget* w = form(formName);
    if (!w)
        return std::nullopt;
    QWidget* c = w->findChild<QWidget*>(control);
    if (auto* edit = qobject_cast<QLineEdit*>(c))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(c))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(c))
        return button->text();
    return std::nullopt;
}

void Windows::pushTexts() {
    for (ProblemWindow* w : std::initializer_list<ProblemWindow*>{form5_, form2_, form10_, form3_,
                                                                  form8_, form6_, form9_, form4_})
        if (w)
            w->pushTexts();
    if (form11_)
        form11_->pushTexts();
}

void Windows::pullTexts() {
    for (ProblemWindow* w : std::initializer_list<ProblemWindow*>{form5_, form2_, form10_, form3_,
                                                                  form8_, form6_, form9_, form4_})
        if (w)
            w->pullTexts();
    if (form11_)
        form11_->pullTexts();
    else if (audit_.moistAir().used)
        form11();
}

void Windows::setStatus(const QString& text) {
    main_->lblstatus->setText(text);
}

QString Windows::status() const {
    return main_->lblstatus->text();
}

Arrangement Windows::chosenArrangement() {
    return form1_ && form1_->Option2->isChecked() ? Arrangement::CrossFlow
                                                  : Arrangement::CounterFlow;
}

ProblemWindow* Windows::problemWindow(Arrangement arrangement, int problem) {
    const bool counter = arrangement == Arrangement::CounterFlow;
    switch (problem) {
    case 1:
        return counter ? static_cast<ProblemWindow*>(form5()) : form8();
    case 2:
        return counter ? static_cast<ProblemWindow*>(form2()) : form6();
    case 3:
        return counter ? static_cast<ProblemWindow*>(form10()) : form9();
    case 4:
        return counter ? static_cast<ProblemWindow*>(form3()) : form4();
    }
    return nullptr;
}

void Windows::showProblem(Arrangement arrangement, int problem) {
    showChild(problemWindow(arrangement, problem));
}

void Windows::showStart() {
    showChild(form1());
}

QMdiSubWindow* Windows::subWindowOf(QWidget* form) const {
    if (!form)
        return nullptr;
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

bool Windows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            event->ignore();
            sub->hide();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void Windows::showChild(QWidget* form) {
    QMdiSubWindow* sub = subWindowOf(form);
    if (!sub)
        return;
    sub->showNormal();
    // The designed height, within the area between the toolbar and the status strip.
    const int areaHeight = main_->mdiArea()->viewport()->height();
    const int height = areaHeight > 0 ? std::min(pixels(9300), areaHeight) : pixels(9300);
    sub->setGeometry(0, 0, pixels(14100), height);
    sub->raise();
    main_->mdiArea()->setActiveSubWindow(sub);
    // The focus goes to the window's own focused control, the one its activation chose or
    // the one last used, and to the window itself only when it has none.
    if (QWidget* control = form->focusWidget())
        control->setFocus();
    else
        form->setFocus();
}

void Windows::onSubWindowActivated(QMdiSubWindow* sub) {
    // A window is activated when it becomes the active child; the area losing and regaining
    // activation (a message box, another application) does not activate it again.
    if (!sub)
        return;
    QWidget* w = sub->widget();
    if (w == lastActive_)
        return;
    lastActive_ = w;
    if (auto* problem = qobject_cast<ProblemWindow*>(w)) {
        lastProblem_ = std::pair{problem->arrangement(), problem->problem()};
        if (diagram_)
            diagram_->problemActivated(problem->arrangement(), problem->problem());
        problem->Form_Activate();
    }
}

void Windows::start() {
    main_->Form_Load();
    main_->show();
    // The area between the toolbar and the status strip holds a child window of the designed
    // height: the main window grows by what the toolbar takes beyond its designed share.
    const int shortBy = pixels(9300) - main_->mdiArea()->viewport()->height();
    if (shortBy > 0)
        main_->resize(main_->width(), main_->height() + shortBy);
    showChild(form1());
}
