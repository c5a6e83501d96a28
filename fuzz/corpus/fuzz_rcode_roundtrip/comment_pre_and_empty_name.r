//{ "A" PRE
//[PRE]: // note
//}
//{ ""
  PLAY ACTION+ HELLO // HELLO.WAV
//}}} x
