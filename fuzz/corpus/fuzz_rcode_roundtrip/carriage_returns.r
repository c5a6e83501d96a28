//{ "A"
WAITX
Y
//}