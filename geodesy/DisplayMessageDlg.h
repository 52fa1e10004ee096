// The modeless progress dialog "处理信息" of the long computations, as a model: title, message
// text, range and the percentage text, presented through the platform layer's progress
// window. The computation drives it by explicit calls and reads the cancel flag; the dialog
// never closes itself.
#pragma once

#include <memory>
#include <string>

#include "geodesy/Platform.h"

class CDisplayMessageDlg {
 public:
  explicit CDisplayMessageDlg(void* parent = nullptr);
  ~CDisplayMessageDlg();
  CDisplayMessageDlg(const CDisplayMessageDlg&) = delete;
  CDisplayMessageDlg& operator=(const CDisplayMessageDlg&) = delete;

  // Creates the window (through the host) and initialises it as OnInitDialog does.
  int Create();
  void SetTitle(std::string textGbk);
  void SetDisplayMessage(std::string textGbk);
  // Stores the range and resets the last percentage shown to 0.
  void SetRange(int minimum, int maximum);
  // Shows "%02d%%" of floor((position - min) 100 / (max - min)) when it rises above the last
  // percentage shown; smaller or equal values, and an empty range, change nothing.
  void SetPosition(int position);

  // Clears this window's cancel flag (not the command's stop request, which a later window
  // must not lose), resets the last percentage and shows "0%". Returns 1.
  int OnInitDialog();
  // The person asked to cancel: the command's stop request (vemo::RequestStop) is set; the
  // dialog stays open.
  void OnCancelButton();

  int IsCancelled() const { return m_Cancel; }
  // Between two steps of a computation: processes the one pending message (a click on "取消";
  // Ctrl-C on the command line) and tells whether the person asked to cancel. When so, the
  // first call shows "计算已取消!" and the computation returns its failure at once, before it
  // writes anything more.
  bool CancelRequested();
  int LastPercent() const { return m_LastPercent; }
  const std::string& PercentText() const { return m_PercentText; }

 private:
  void ShowPercent(const std::string& text);

  std::unique_ptr<vemo::ProgressWindow> m_Window;
  int m_Cancel = 0;
  bool m_CancelReported = false;
  int m_Min = 0;
  int m_Max = 100;
  int m_LastPercent = 0;
  std::string m_PercentText;
};
