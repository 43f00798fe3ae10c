#pragma once

#include <QString>
#include <QStringList>

// A file type the program names: its fields as the program declares them.
// Qt keeps no registry of file types, so this class keeps its own: the first
// conversion of a type to text registers it, once.
class FileType {
 public:
  QString Name;
  // Entries separated by ';'. An entry with a leading dot is an extension,
  // one without is a whole file name.
  QString Extensions;
  QString MacType;
  QString MacCreator;
  QString MimeType;
  bool Imported = false;
  QString ConformsTo;
  QString UTI;

  // The type's text form, its Name. The first call registers the type.
  QString text();
  bool isRegistered() const { return mRegistered; }

  // A QFileDialog name filter made from Name and Extensions, for example
  // "application/text (*.1st *.nfo *.readme readme)".
  QString nameFilter() const;

  // Names of the registered types, in the order in which they were registered.
  static const QStringList& registeredNames();

 private:
  static QStringList& registry();

  bool mRegistered = false;
};
