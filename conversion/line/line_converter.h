// The line layer's conversion for a run: converts a line with the run's settings and hands the
// record back for PutRecord.

#pragma once

#include "form_state.h"
#include "marks.h"
#include "put_record.h"
#include "record_layout.h"
#include "run_context.h"
#include "split_fields.h"

namespace conversion {

// Converts form.Linea with the run's settings as ConvertLine does, but leaves
// Linea1 alone: the record comes back in record, to be written by PutRecord.
// When marked is given, Linea views marked.data and is split there, as the
// first SplitFields says; else it is split through a copy.
LineResult ConvertLine(FormState& form, Host& host, RunContext& run, Record& record,
                       const MarkedText* marked = nullptr);

// Converts form.Linea with the run's settings; see ConvertLine.
LineResult ConvertLine(FormState& form, Host& host, RunContext& run);

}  // namespace conversion
