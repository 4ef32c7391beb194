#include "FormTexts.h"

QStringList instructionLines() {
    // Trailing spaces and doubled punctuation are part of the text.
    return {
        "You can use this program to test a thumb drive ",
        "or memory stick, so long as it is visible to a ",
        "Windows computer..",
        "",
        "Delete all of the files on the drive and then ",
        "select it.  The program can only test memory ",
        "that does not already contain files.",
        "",
        "Click the Test button to start the test",
        "",
        "A series of files will be created on the drive.  ",
        "Each file is written twice and  read to confirm ",
        "correct contents",
        "",
        "No files are deleted by this test: it will not ",
        "destroy any of your data.",
        "",
        "The test files are not deleted by this program:: ",
        "you will have to remove them manually",
    };
}

QString donationText() {
    return QStringLiteral("If you found this program to be useful, please consider making a "
                          "donation to  my PayPal account (") +
           QStringLiteral(ORVALIN_PAYMENT_ADDRESS) + QStringLiteral(").");
}
