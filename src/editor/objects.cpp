#include "editor/objects.h"

#include "editor/preview.h"

namespace velluno {

namespace {
const QString kBody = QStringLiteral(
    "<body leftMargin=0 topMargin=0 marginheight=0 marginwidth=0 scroll=no>");
}

void AniGIF(Editor& editor, const QString& GifImage)
{
    editor.WB = QStringLiteral("about:<html>") + kBody + QStringLiteral("<img src=\"") + GifImage +
                QStringLiteral("\"></img></body></html>");
}

ExtractReport cmdExportAll_Click(Editor& editor)
{
    // Before any skin is open there is nothing to extract.
    if (editor.doc.SkinDir.isEmpty())
        return ExtractReport{};
    ExtractReport report = ExtractImages(editor.doc);
    UpdateDesktop(editor);
    return report;
}

void NoGIF(Editor& editor)
{
    editor.WB = QStringLiteral("about:<html>") + kBody + QStringLiteral("</body></html>");
}

}  // namespace velluno
