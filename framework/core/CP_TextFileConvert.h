#pragma once
// Line ends of text read from other platforms' files.
class CP_HandleBlock;

// Turns every lone CR line end of the text into CR LF. Takes the block
// over: answers a new block with the converted text (the source is then
// deleted), the source itself when its text already has CR LF line ends,
// or null after a reported failure. An LF alone is left as it is.
CP_HandleBlock* ConvertLineEndsToCRLF(CP_HandleBlock* source);
