#pragma once

// Which log a page shows and the export writes.
enum LogExportKind { UserLogKind = 1, TalkLogKind = 2, TermLogKind = 3 };
