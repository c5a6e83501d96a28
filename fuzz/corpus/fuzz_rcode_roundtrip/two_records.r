//{ "A"
PLAY ACTION SIT
//}
//++top
  //{ "B"
//}
