// The user's own copy of the profile catalog when it is damaged: an empty file, garbage, or a
// file that cannot be read would otherwise stop every start with a message that names no file.
// The damage is found and named here; going back to the installed catalog keeps the damaged
// file beside it, so nothing the user saved in it is lost.
#pragma once

#include <QString>

class QWidget;

// Why the catalog at `path` cannot serve, as a clause ("it is empty"); empty when it can.
QString CatalogDamage(const QString& path);

// The user's copy of the catalog when it is damaged (per-user data only; the installed catalog
// is the installation's own): its path, with the reason in `why`. Empty when there is none.
QString DamagedUserCatalog(QString& why);

// Moves the user's copy aside as "<name>.damaged" (".damaged-2" ... when that name is taken)
// and puts a fresh copy of the installed catalog in its place. Returns where the damaged file
// was kept; raises QorError naming the file when it cannot be moved or the copy cannot be made.
QString RestoreInstalledCatalog();

// "The profile catalog <path> is damaged: <why>."
QString CatalogDamageText(const QString& path, const QString& why);

// At start-up of the window: when the user's catalog is damaged, asks (through the replaceable
// dialogs) whether to go back to the installed catalog, and does it on Yes, telling where the
// damaged file was kept. True when the catalog is sound afterwards.
bool OfferCatalogRestore(QWidget* owner);
