#pragma once
// Storage routines on an ini file or the registry seen as one, default
// section and file names, and the writer and reader of a form's placement.
#include "platform/gui/Forms.h"

// Each routine works on a TCustomIniFile or a TRegIniFile and does nothing
// (or returns the default) for any other object.
AnsiString IniReadString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident,
                         const AnsiString& Default);
// A value that begins and ends with the same kind of quote is written to an
// ini file inside one more pair of double quotes, so it reads back whole.
void IniWriteString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
int IniReadInteger(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, int Default);
void IniWriteInteger(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, int Value);
void IniEraseSection(TObject* IniFile, const AnsiString& Section);

// "(%dx%d)" of the screen's width and height.
AnsiString ResolutionSuffix();
// Ident + suffix, or Ident when that is empty.
AnsiString IniReadResString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident,
                            const AnsiString& Default);
// Writes both Ident + suffix and Ident.
void IniWriteResString(TObject* IniFile, const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);

// Empty for none; a form's class name; a control's name after its form's
// class name (or its parent's name); another component owned by a form: "Form.Name".
AnsiString GetDefaultSection(TComponent* Component);
// The executable's file name with the extension ".INI" (no folder).
AnsiString GetDefaultIniName();
// "Software\" + the application's title (or the executable's base name).
AnsiString GetDefaultIniRegKey();

// Show commands stored with a placement: the layer's SW_ values (Messages.h).

void WriteFormPlacement(TCustomForm* Form, TObject* IniFile, const AnsiString& Section);
void ReadFormPlacement(TCustomForm* Form, TObject* IniFile, const AnsiString& Section, bool LoadState,
                       bool LoadPosition);
