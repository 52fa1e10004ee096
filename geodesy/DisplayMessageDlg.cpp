#include "geodesy/DisplayMessageDlg.h"

#include <cmath>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/UiText.h"

CDisplayMessageDlg::CDisplayMessageDlg(void*) {}

CDisplayMessageDlg::~CDisplayMessageDlg() = default;

int CDisplayMessageDlg::Create() {
  m_Window = vemo::Platform().OpenProgressWindow([this] { OnCancelButton(); });
  m_Window->SetTitle(vemo::UiText(u8"处理信息"));
  return OnInitDialog();
}

int CDisplayMessageDlg::OnInitDialog() {
  m_Cancel = 0;
  m_LastPercent = 0;
  ShowPercent("0%");
  return 1;
}

void CDisplayMessageDlg::OnCancelButton() {
  m_Cancel = 1;
  vemo::RequestStop();
}

bool CDisplayMessageDlg::CancelRequested() {
  GetWindowMessage();
  // A stop asked for before this window opened (Ctrl-C between stages) holds as well.
  if (vemo::StopRequested()) m_Cancel = 1;
  if (!m_Cancel) return false;
  if (!m_CancelReported) {
    m_CancelReported = true;
    vemo::ShowMessage(vemo::UiText(u8"计算已取消!"), ApplicationTitle(), vemo::MessageIcon::Information);
  }
  return true;
}

void CDisplayMessageDlg::SetTitle(std::string textGbk) {
  if (m_Window) m_Window->SetTitle(textGbk);
}

void CDisplayMessageDlg::SetDisplayMessage(std::string textGbk) {
  if (m_Window) m_Window->SetText(textGbk);
}

void CDisplayMessageDlg::SetRange(int minimum, int maximum) {
  m_Min = minimum;
  m_Max = maximum;
  m_LastPercent = 0;
}

void CDisplayMessageDlg::SetPosition(int position) {
  if (!(m_Min < m_Max)) return;
  // In double: (position - min) * 100 overflows int for large counters.
  double p = std::floor((static_cast<double>(position) - m_Min) * 100.0 / (static_cast<double>(m_Max) - m_Min));
  if (p > m_LastPercent) {
    m_LastPercent = p > 1e9 ? 1000000000 : static_cast<int>(p);
    ShowPercent(vemo::Format("%02d%%", m_LastPercent));
  }
}

void CDisplayMessageDlg::ShowPercent(const std::string& text) {
  m_PercentText = text;
  if (m_Window) m_Window->SetPercentText(text);
}
