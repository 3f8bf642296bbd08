// The target names of the listed rows: each row converts to its source's name with the family's
// extension, numbered where another row already converts to that name, so that no conversion of
// a job overwrites another's output. The 3GP family's extension follows the output file type.
#include <QStringList>

#include "converter/Txconverter.h"
#include "media/MediaText.h"
#include "media/package/ListImagePanel.h"
#include "skin/SkinComboBox.h"

QString Txconverter::NewRowTargetName(const QString& sourcePath) {
    QStringList taken;
    for (int i = 0; i < ListImagePanel->ItemCount; ++i)
        taken << ListImagePanel->GetItem(unsigned(i))->TargetName;
    return UniqueTargetName(TargetName(sourcePath, CurrentDevice, combox_outfiletype->ItemIndex()),
                            taken);
}

void Txconverter::RefreshTargetNames() {
    QStringList wanted;
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        wanted << TargetName(ListImagePanel->GetItem(unsigned(i))->SourcePath, CurrentDevice,
                             combox_outfiletype->ItemIndex());
    }
    const QStringList names = UniqueTargetNames(wanted);
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        TItemPanel* row = ListImagePanel->GetItem(unsigned(i));
        if (row->TargetName != names[i]) {
            row->TargetName = names[i];
            row->RefreshText();
        }
    }
}
