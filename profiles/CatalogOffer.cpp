// The window's side of a damaged catalog: the question and its answer, through the replaceable
// dialogs.
#include "platform/Dialogs.h"
#include "profiles/CatalogCheck.h"

bool OfferCatalogRestore(QWidget* owner) {
    QString why;
    const QString damaged = DamagedUserCatalog(why);
    if (damaged.isEmpty())
        return true;
    const QString question =
        CatalogDamageText(damaged, why) +
        QStringLiteral("\nGo back to the installed catalog? The damaged file is kept beside it.");
    if (!platform::dialogs().Ask(owner, question, QString()))
        return false;
    const QString kept = RestoreInstalledCatalog();
    platform::ShowMessage(owner, QStringLiteral("The installed profile catalog is back in use. "
                                                "The damaged file is kept as %1.")
                                     .arg(kept));
    return true;
}
