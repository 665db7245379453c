// The archive manager's image list, drawn when the window is made: folder
// pairs for game and add-on archives, one icon per file type.
#pragma once

#include <QIcon>
#include <vector>

namespace mc {

class TPbIconList {
public:
    TPbIconList();
    // The icon of an index of TPbIcon; an empty icon outside the list.
    QIcon Icon(int index) const;
    // A tree node's pair: image and selected image.
    QIcon FolderPair(bool addOn) const { return addOn ? addOnPair_ : gamePair_; }

private:
    std::vector<QIcon> icons_;
    QIcon gamePair_, addOnPair_;
};

}  // namespace mc
