#pragma once
// The About window FormHelp: the emblem, the link to our web address and "ОК". It never blocks
// the main window; closing it only hides it, and the next show brings it back where it was.

#include <QPushButton>
#include <QWidget>

#include "app/Host.h"
#include "mainform/AboutController.h"
#include "mainform/Shell.h"

class QLabel;

namespace velor::ui {

class TsWebLabel;

class TFormHelp : public QWidget, public IAboutWindow {
    Q_OBJECT
  public:
    TFormHelp(IHost& host, IShell& shell, QWidget* parent = nullptr);

    // Shows the window at its place and brings it to the front.
    void ShowWindow();
    void HideWindow() override;

    QPushButton* Button1() const { return m_button1; }
    TsWebLabel* sWebLabel1() const { return m_webLabel; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormKeyDown(int qtKey);
    void Button1Click();
    void sWebLabel1Click();

    AboutController m_controller;
    QLabel* m_emblem = nullptr;
    TsWebLabel* m_webLabel = nullptr;
    QPushButton* m_button1 = nullptr;
    bool m_placed = false;
};

}  // namespace velor::ui
