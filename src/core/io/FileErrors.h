#pragma once

#include "KrException.h"

// The contents of a data file are damaged or not what the reader expects.
class TFileFormatError : public TKrException
{
public:
    using TKrException::TKrException;
};

// A file could not be opened, read or written at all.
class TFileAccessError : public TKrException
{
public:
    using TKrException::TKrException;
};
