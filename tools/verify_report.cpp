// kalvex-verify: regenerates the verification report (`make verify`).
//
//   kalvex-verify DOCS_FOLDER EXAMPLES_FOLDER
//
// Writes DOCS_FOLDER/verification.md with DOCS_FOLDER/verification/*.png and
// DOCS_FOLDER/validation.md with DOCS_FOLDER/validation/*.png; ends with status 1 when a check
// fails or a validation figure moved from the value the page records.

#include "tools/verification/ValidationReport.h"
#include "tools/verification/VerificationReport.h"

#include <QGuiApplication>

#include <clocale>
#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DOCS_FOLDER EXAMPLES_FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // bitmaps only: no screen needed
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // the report's numbers take a point whatever the locale
    try {
        const bool verified = kalvex::verification::writeVerificationReport(argv[1], argv[2], std::cerr);
        const bool passed = kalvex::verification::writeValidationReport(argv[1], argv[2], std::cerr) && verified;
        std::cout << (passed ? "every check passed\n" : "a check FAILED\n");
        return passed ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
