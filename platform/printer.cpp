#include "platform/printer.h"

#include "platform/application.h"
#include "platform/exception.h"
#include "platform/qt_printer.h"

namespace mx {

namespace {

const char* const Busy = "Das Drucken ist im Gang";
const char* const Idle = "Es wird zur Zeit nicht gedruckt";

std::unique_ptr<TPrinter>& CurrentPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

} // namespace

TPrinter::TPrinter() : AbortProc([] { Application()->ProcessMessages(); }) {}

TPrinter::~TPrinter() = default;

bool TPrinter::BeginDoc() {
    if (printing_) throw EPrinter(Busy);
    if (!StartDocument()) return false;
    printing_ = true;
    return true;
}

void TPrinter::NewPage() {
    if (!printing_) throw EPrinter(Idle);
    try {
        StartNextPage();
    } catch (...) {
        Abort();
        throw;
    }
    PageDone();
}

void TPrinter::EndDoc() {
    if (!printing_) throw EPrinter(Idle);
    try {
        FinishDocument();
    } catch (...) {
        Abort();
        throw;
    }
    printing_ = false;
    PageDone();
}

void TPrinter::Abort() {
    if (!printing_) return;
    printing_ = false;
    DiscardDocument();
}

TCanvas& TPrinter::Canvas() {
    if (!printing_) throw EPrinter(Idle);
    return PageCanvas();
}

bool TPrinter::Setup() {
    // Changing paper or printer in the middle of a document would mix
    // pages of two layouts.
    if (printing_) throw EPrinter(Busy);
    return RunSetup();
}

void TPrinter::PageDone() {
    if (AbortProc) AbortProc();
}

TPrinter* Printer() {
    auto& printer = CurrentPrinter();
    if (!printer) printer = std::make_unique<TQtPrinter>();
    return printer.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
    std::swap(printer, CurrentPrinter());
    return printer;
}

} // namespace mx
