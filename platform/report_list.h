// A list control in report view, filled from plain rows (the Diagnosis window's list).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace kestrun::platform {

class ReportList {
  public:
    virtual ~ReportList() = default;
    // The control's outer width in pixels (its window rectangle).
    virtual int OuterWidth() = 0;
    // Left-aligned columns, in order, with their titles and widths in pixels.
    virtual void InsertColumns(const std::vector<std::pair<std::string, int>>& columns) = 0;
    virtual void DeleteAllRows() = 0;
    // Rows appended at the end: the first text in column 0, the second in column 1.
    virtual void AppendRows(const std::vector<std::pair<std::string, std::string>>& rows) = 0;
    // Column 1 of a row.
    virtual void SetResult(int row, const std::string& text) = 0;
    // Paints what changed now (UpdateWindow), not when the message loop gets to it.
    virtual void Repaint() = 0;
};

class ReportLists {
  public:
    virtual ~ReportLists() = default;
    // The list control controlId of the dialog window; nullptr when there is none.
    virtual std::unique_ptr<ReportList> Attach(WindowRef dialog, int controlId) = 0;
};

}  // namespace kestrun::platform
