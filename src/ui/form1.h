#pragma once
// Form1: the start window. The engineer chooses the tower arrangement and opens its first
// Problem window with CALCULATE.

#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Workspace;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Workspace& workspace);

    // Opens the Problem 1 window of the selected arrangement.
    void Command1_Click();

    QGroupBox* Frame3;
    QLabel* Label8;
    QLabel* Label2;
    QLabel* lblDescription;
    QLabel* lblVersion;
    QGroupBox* Frame2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QGroupBox* Frame4;
    QLabel* Label18;
    QPushButton* Command1;
    QFrame* Line1;

private:
    Workspace& workspace_;
};
